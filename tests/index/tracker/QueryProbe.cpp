#include "QueryProbe.h"

#include "core/FileUri.h"

#include <QSignalSpy>

namespace tarnwick::test {

QSet<QByteArray> Gathered::paths() const {
    QSet<QByteArray> set;
    for (const MetadataItem& item : items) set.insert(item.path);
    return set;
}

QSet<QByteArray> Gathered::relativePaths(const QByteArray& scope) const {
    QSet<QByteArray> set;
    for (const MetadataItem& item : items) set.insert(relativePath(scope, item.path));
    return set;
}

Gathered gather(MetadataIndex& index, const QByteArray& scope, MetadataPredicate predicate,
                const QString& text, int timeoutMs) {
    std::unique_ptr<MetadataQuery> query = index.createQuery(scope, predicate, text);
    QSignalSpy progress(query.get(), &MetadataQuery::gatheringProgress);
    QSignalSpy finished(query.get(), &MetadataQuery::finishedGathering);
    query->start();
    Gathered gathered;
    gathered.finished = finished.wait(timeoutMs);
    gathered.count = query->resultCount();
    gathered.items = query->results();
    gathered.progressSignals = int(progress.size());
    gathered.finishedSignals = int(finished.size());
    query->stop();
    return gathered;
}

bool waitForUpdate(MetadataQuery& query, int timeoutMs) {
    QSignalSpy updated(&query, &MetadataQuery::updated);
    return updated.wait(timeoutMs);
}

}  // namespace tarnwick::test
