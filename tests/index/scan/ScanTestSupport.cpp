#include "ScanTestSupport.h"

#include <QSignalSpy>

namespace tarnwick::test {

bool runToEnd(MetadataQuery& query) {
    QSignalSpy finished(&query, &MetadataQuery::finishedGathering);
    query.start();
    return finished.wait(30000);
}

QSet<QByteArray> relativePaths(const QList<MetadataItem>& items, const QByteArray& root) {
    QSet<QByteArray> paths;
    for (const MetadataItem& item : items)
        paths.insert(item.path.startsWith(root + '/') ? item.path.mid(root.size() + 1) : item.path);
    return paths;
}

}  // namespace tarnwick::test
