#include "SpotlightFullSearchEngine.h"

#include "IndexItemConversion.h"
#include "QueryLifecycle.h"
#include "core/FileUri.h"

#include <QPointer>

namespace tarnwick {

SpotlightFullSearchEngine::SpotlightFullSearchEngine(std::shared_ptr<MetadataIndex> index,
                                                     const QByteArray& scope,
                                                     std::chrono::milliseconds debounce)
    : m_index(index),
      m_search(std::move(index), withoutTrailingSlashes(scope),
               MetadataPredicate::nameOrContentContains, debounce) {
    m_search.onChange = [this](MetadataQuery& query) { collectResults(query); };
}

SpotlightFullSearchEngine::~SpotlightFullSearchEngine() {
    stop();
}

void SpotlightFullSearchEngine::startCount() {
    retireQuery(m_countQuery, this);
    m_countQuery = m_index->createQuery(m_search.scope(), MetadataPredicate::everything, {});
    MetadataQuery* query = m_countQuery.get();
    if (!query) return;
    connect(query, &MetadataQuery::gatheringProgress, this,
            [this, query] { countQueryDidUpdate(query); });
    connect(query, &MetadataQuery::finishedGathering, this,
            [this, query] { countQueryDidFinish(query); });
    query->start();
}

void SpotlightFullSearchEngine::search(const QString& text) {
    if (!text.isEmpty()) {
        m_search.schedule(text);
        return;
    }
    stop();
    if (auto deliver = onResults) deliver({});
}

void SpotlightFullSearchEngine::stop() {
    m_search.stop();
    retireQuery(m_countQuery, this);
}

void SpotlightFullSearchEngine::countQueryDidUpdate(MetadataQuery* query) {
    if (query != m_countQuery.get()) return;
    if (auto report = onCountReady) report(query->resultCount());
}

void SpotlightFullSearchEngine::countQueryDidFinish(MetadataQuery* query) {
    if (query != m_countQuery.get()) return;
    // The callback may stop this engine, or destroy it; a retired query is only deleted from
    // the event loop, so `query` stays valid here either way.
    QPointer<SpotlightFullSearchEngine> self(this);
    if (auto report = onFinishedGathering) report(query->resultCount());
    if (!self) return;
    query->stop();
    disconnect(query, nullptr, this, nullptr);
}

void SpotlightFullSearchEngine::collectResults(MetadataQuery& query) {
    const QList<FileItem> items = fileItemsFromMetadata(readResultsFrozen(query), m_search.scope());
    // A copy, and last: the owner may destroy this engine from its callback.
    if (auto deliver = onResults) deliver(items);
}

}  // namespace tarnwick
