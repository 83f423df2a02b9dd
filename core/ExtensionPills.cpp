#include "ExtensionPills.h"

#include "ExtensionKey.h"

#include <QCoreApplication>
#include <QHash>

#include <algorithm>
#include <vector>

namespace tarnwick {

void ExtensionCounts::add(const FileItem& item, qint64 delta) {
    if (item.isDirectory()) {
        folders += delta;
        return;
    }
    QString extension = extensionOf(item.name());
    if (extension.isEmpty()) return;
    qint64& count = files[extension];
    count += delta;
    if (count <= 0) files.remove(extension);
}

ExtensionCounts countExtensions(const QList<FileItem>& items) {
    ExtensionCounts counts;
    for (const FileItem& item : items) counts.add(item);
    return counts;
}

QList<Pill> countPills(const QList<FileItem>& items, bool withFolders) {
    return pillsFor(countExtensions(items), withFolders);
}

QList<Pill> pillsFor(const ExtensionCounts& counts, bool withFolders) {
    const QHash<QString, qint64>& files = counts.files;
    std::vector<std::pair<QString, qint64>> ranked(files.keyValueBegin(), files.keyValueEnd());
    std::sort(ranked.begin(), ranked.end(), [](const auto& a, const auto& b) {
        return a.second != b.second ? a.second > b.second : a.first < b.first;
    });
    if (ranked.size() > size_t(kMaxExtensionPills)) ranked.resize(kMaxExtensionPills);

    QList<Pill> pills{{QCoreApplication::translate("ExtensionPills", "All"), QString()}};
    for (const auto& [extension, count] : ranked)
        pills.append({extension.toUpper() + QStringLiteral(" (") + QString::number(count) + u')',
                      extension});
    if (withFolders && counts.folders > 0)
        pills.append({QCoreApplication::translate("ExtensionPills", "Folders"), kFolderKey});
    return pills;
}

}  // namespace tarnwick
