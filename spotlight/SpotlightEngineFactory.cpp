#include "SpotlightEngineFactory.h"

#include "SpotlightFullSearchEngine.h"
#include "SpotlightSearchEngine.h"

namespace tarnwick {

SpotlightEngineFactory::SpotlightEngineFactory(IndexForFolder indexForFolder,
                                               std::chrono::milliseconds debounce)
    : m_indexForFolder(std::move(indexForFolder)), m_debounce(debounce) {}

SpotlightEngineFactory::SpotlightEngineFactory(std::shared_ptr<MetadataIndex> index,
                                               std::chrono::milliseconds debounce)
    : SpotlightEngineFactory([index](const QByteArray&) { return index; }, debounce) {}

std::unique_ptr<ContentHitEngine> SpotlightEngineFactory::createContentEngine(
    const QByteArray& folder) {
    return std::make_unique<SpotlightSearchEngine>(m_indexForFolder(folder), folder, m_debounce);
}

std::unique_ptr<FullSearchEngine> SpotlightEngineFactory::createFullEngine(
    const QByteArray& folder) {
    return std::make_unique<SpotlightFullSearchEngine>(m_indexForFolder(folder), folder,
                                                       m_debounce);
}

}  // namespace tarnwick
