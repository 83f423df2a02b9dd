#include "DebouncedQuery.h"

#include "QueryLifecycle.h"

namespace tarnwick {

DebouncedQuery::DebouncedQuery(std::shared_ptr<MetadataIndex> index, QByteArray scope,
                               MetadataPredicate predicate, std::chrono::milliseconds debounce)
    : m_index(std::move(index)), m_scope(std::move(scope)), m_predicate(predicate) {
    m_debounceTimer.setSingleShot(true);
    m_debounceTimer.setInterval(debounce);
    connect(&m_debounceTimer, &QTimer::timeout, this, [this] { performSearch(m_pendingText); });
}

DebouncedQuery::~DebouncedQuery() {
    stop();
}

void DebouncedQuery::schedule(const QString& text) {
    m_pendingText = text;
    m_debounceTimer.start();
}

void DebouncedQuery::stop() {
    m_debounceTimer.stop();
    retireQuery(m_query, this);
}

void DebouncedQuery::performSearch(const QString& text) {
    retireQuery(m_query, this);
    m_query = m_index->createQuery(m_scope, m_predicate, text);
    MetadataQuery* query = m_query.get();
    if (!query) return;
    connect(query, &MetadataQuery::finishedGathering, this, [this, query] { queryChanged(query); });
    connect(query, &MetadataQuery::updated, this, [this, query] { queryChanged(query); });
    query->start();
}

void DebouncedQuery::queryChanged(MetadataQuery* query) {
    // A replaced query may still have a notification on its way; only the current one counts.
    if (query != m_query.get() || !onChange) return;
    onChange(*query);
}

}  // namespace tarnwick
