#include "CombinedQuery.h"

#include <QSet>

namespace tarnwick {

CombinedQuery::CombinedQuery(std::unique_ptr<MetadataQuery> primary,
                             std::unique_ptr<MetadataQuery> complement)
    : m_primary(std::move(primary)), m_complement(std::move(complement)) {}

CombinedQuery::~CombinedQuery() = default;

void CombinedQuery::start() {
    for (auto [part, done] : {std::pair{m_primary.get(), &m_primaryDone},
                              std::pair{m_complement.get(), &m_complementDone}}) {
        connect(part, &MetadataQuery::finishedGathering, this,
                [this, done] { partFinished(*done); });
        connect(part, &MetadataQuery::gatheringProgress, this, [this] { partChanged(); });
        connect(part, &MetadataQuery::updated, this, [this] { partChanged(); });
    }
    m_primary->start();
    m_complement->start();
}

void CombinedQuery::stop() {
    m_stopped = true;
    m_primary->stop();
    m_complement->stop();
}

qsizetype CombinedQuery::resultCount() const {
    return results().size();
}

QList<MetadataItem> CombinedQuery::results() const {
    QList<MetadataItem> merged = m_primary->results();
    QSet<QByteArray> reported;
    reported.reserve(merged.size());
    for (const MetadataItem& item : merged) reported.insert(item.path);
    for (const MetadataItem& item : m_complement->results())
        if (!reported.contains(item.path)) merged.append(item);
    return merged;
}

void CombinedQuery::disableUpdates() {
    m_primary->disableUpdates();
    m_complement->disableUpdates();
}

void CombinedQuery::enableUpdates() {
    m_primary->enableUpdates();
    m_complement->enableUpdates();
}

void CombinedQuery::partFinished(bool& partDone) {
    if (m_stopped || partDone) return;
    partDone = true;
    if (m_primaryDone && m_complementDone) {
        m_finished = true;
        Q_EMIT finishedGathering();
    } else {
        Q_EMIT gatheringProgress(resultCount());
    }
}

void CombinedQuery::partChanged() {
    if (m_stopped) return;
    if (m_finished)
        Q_EMIT updated();
    else
        Q_EMIT gatheringProgress(resultCount());
}

}  // namespace tarnwick
