#include "IndexItemConversion.h"

#include <QHash>

#include <vector>

namespace tarnwick {

namespace {

bool isStrictlyBelow(const QByteArray& scope, const QByteArray& path) {
    if (scope == "/") return path.size() > 1 && path.startsWith('/');
    return path.size() > scope.size() + 1 && path.startsWith(scope) && path.at(scope.size()) == '/';
}

// One entry waiting for its folder's record to be finished.
struct PendingItem {
    qsizetype folder;
    NameSlot name;
    const MetadataItem* source;
};

}  // namespace

qint64 modifiedMsecsOf(const MetadataItem& item) {
    if (item.contentModifiedMsecs) return *item.contentModifiedMsecs;
    if (item.changedMsecs) return *item.changedMsecs;
    return FileItem::kNoDate;
}

QList<FileItem> fileItemsFromMetadata(const QList<MetadataItem>& found, const QByteArray& scope) {
    std::vector<FolderBuilder> builders;
    QHash<QByteArray, qsizetype> builderOfFolder;
    std::vector<PendingItem> pending;
    pending.reserve(size_t(found.size()));
    for (const MetadataItem& entry : found) {
        if (entry.path.endsWith('/') || !isStrictlyBelow(scope, entry.path)) continue;
        const qsizetype slash = entry.path.lastIndexOf('/');
        const QByteArray folder = slash == 0 ? QByteArray("/") : entry.path.left(slash);
        qsizetype builder = builderOfFolder.value(folder, -1);
        if (builder < 0) {
            builder = qsizetype(builders.size());
            builderOfFolder.insert(folder, builder);
            builders.emplace_back(folder, relativeStartFor(scope, folder));
        }
        const QByteArrayView name = QByteArrayView(entry.path).sliced(slash + 1);
        pending.push_back({builder, builders[size_t(builder)].addName(name), &entry});
    }
    std::vector<FolderRecordPtr> records;
    records.reserve(builders.size());
    for (FolderBuilder& builder : builders) records.push_back(builder.finish());

    QList<FileItem> items;
    items.reserve(qsizetype(pending.size()));
    for (const PendingItem& p : pending) {
        items.append(FileItem(records[size_t(p.folder)], p.name, p.source->isFolder,
                              p.source->fileSize.value_or(0), modifiedMsecsOf(*p.source)));
    }
    return items;
}

}  // namespace tarnwick
