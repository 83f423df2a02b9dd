#pragma once

#include "DebouncedQuery.h"
#include "core/SearchEngines.h"

namespace tarnwick {

// The content hits of one search: asks the index, 0.3 s after the last keystroke, which files
// below the folder contain the query text, and delivers their native paths through onResults
// at the end of gathering and after every later change while the query stays live.
// Main thread only.
class SpotlightSearchEngine : public ContentHitEngine {
public:
    SpotlightSearchEngine(std::shared_ptr<MetadataIndex> index, const QByteArray& scope,
                          std::chrono::milliseconds debounce = kEngineDebounce);

    void search(const QString& text) override;
    void stop() override;

private:
    void collectResults(MetadataQuery& query);

    DebouncedQuery m_search;
};

}  // namespace tarnwick
