#pragma once

#include "DebouncedQuery.h"
#include "core/SearchEngines.h"

#include <functional>

namespace tarnwick {

// Makes both engines of a search over the index chosen for its folder.
class SpotlightEngineFactory : public SearchEngineFactory {
public:
    using IndexForFolder = std::function<std::shared_ptr<MetadataIndex>(const QByteArray& folder)>;

    explicit SpotlightEngineFactory(IndexForFolder indexForFolder,
                                    std::chrono::milliseconds debounce = kEngineDebounce);
    // Every folder searched in the same index.
    explicit SpotlightEngineFactory(std::shared_ptr<MetadataIndex> index,
                                    std::chrono::milliseconds debounce = kEngineDebounce);

    std::unique_ptr<ContentHitEngine> createContentEngine(const QByteArray& folder) override;
    std::unique_ptr<FullSearchEngine> createFullEngine(const QByteArray& folder) override;

private:
    IndexForFolder m_indexForFolder;
    std::chrono::milliseconds m_debounce;
};

}  // namespace tarnwick
