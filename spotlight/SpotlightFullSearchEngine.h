#pragma once

#include "DebouncedQuery.h"
#include "core/SearchEngines.h"

#include <QObject>

namespace tarnwick {

// Answers from the index alone, in two roles: counting everything the index holds below the
// folder (running counts, then the final one once), and searching names and contents with a
// 0.3 s debounce, delivering FileItems at the end of gathering and after every later change.
// Main thread only.
class SpotlightFullSearchEngine : public QObject, public FullSearchEngine {
    Q_OBJECT
public:
    SpotlightFullSearchEngine(std::shared_ptr<MetadataIndex> index, const QByteArray& scope,
                              std::chrono::milliseconds debounce = kEngineDebounce);
    ~SpotlightFullSearchEngine() override;

    void startCount() override;
    void search(const QString& text) override;
    void stop() override;

private:
    void countQueryDidUpdate(MetadataQuery* query);
    void countQueryDidFinish(MetadataQuery* query);
    void collectResults(MetadataQuery& query);

    std::shared_ptr<MetadataIndex> m_index;
    DebouncedQuery m_search;
    std::unique_ptr<MetadataQuery> m_countQuery;
};

}  // namespace tarnwick
