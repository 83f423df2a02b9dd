#include "SpotlightSearchEngine.h"

#include "QueryLifecycle.h"
#include "core/FileUri.h"

namespace tarnwick {

SpotlightSearchEngine::SpotlightSearchEngine(std::shared_ptr<MetadataIndex> index,
                                             const QByteArray& scope,
                                             std::chrono::milliseconds debounce)
    : m_search(std::move(index), withoutTrailingSlashes(scope), MetadataPredicate::contentContains,
               debounce) {
    m_search.onChange = [this](MetadataQuery& query) { collectResults(query); };
}

void SpotlightSearchEngine::search(const QString& text) {
    if (!text.isEmpty()) {
        m_search.schedule(text);
        return;
    }
    stop();
    if (onResults) onResults({});
}

void SpotlightSearchEngine::stop() {
    m_search.stop();
}

void SpotlightSearchEngine::collectResults(MetadataQuery& query) {
    QSet<QByteArray> hits;
    for (const MetadataItem& item : readResultsFrozen(query))
        if (!item.path.isEmpty()) hits.insert(item.path);
    // A copy, and last: the owner may destroy this engine from its callback.
    if (auto deliver = onResults) deliver(hits);
}

}  // namespace tarnwick
