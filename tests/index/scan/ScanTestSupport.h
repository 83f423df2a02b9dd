#pragma once

#include "index/MetadataQuery.h"

#include <QSet>
#include <QSignalSpy>

namespace tarnwick::test {

// Starts the query and waits (up to a generous limit) until it finished gathering.
inline bool runToEnd(MetadataQuery& query) {
    QSignalSpy finished(&query, &MetadataQuery::finishedGathering);
    query.start();
    return finished.wait(30000);
}

// The paths of the results, relative to `root`.
inline QSet<QByteArray> relativePaths(const QList<MetadataItem>& items, const QByteArray& root) {
    QSet<QByteArray> paths;
    for (const MetadataItem& item : items) paths.insert(item.path.mid(root.size() + 1));
    return paths;
}

// What a query of `index` for `text` below `root` found, relative to `root`.
inline QSet<QByteArray> hitsFor(MetadataIndex& index, const QByteArray& root, const QString& text,
                                MetadataPredicate predicate = MetadataPredicate::contentContains) {
    std::unique_ptr<MetadataQuery> query = index.createQuery(root, predicate, text);
    if (!runToEnd(*query)) return {"<did not finish>"};
    return relativePaths(query->results(), root);
}

}  // namespace tarnwick::test
