#include "ExtensionPills.h"

#include "ExtensionKey.h"

#include <QCoreApplication>
#include <QHash>

#include <algorithm>
#include <vector>

namespace tarnwick {

QList<Pill> countPills(const QList<FileItem>& items, bool withFolders) {
    QHash<QString, qint64> counts;
    bool anyFolder = false;
    for (const FileItem& item : items) {
        if (item.isDirectory()) {
            anyFolder = true;
            continue;
        }
        QString extension = extensionOf(item.name());
        if (!extension.isEmpty()) ++counts[extension];
    }
    std::vector<std::pair<QString, qint64>> ranked(counts.keyValueBegin(), counts.keyValueEnd());
    std::sort(ranked.begin(), ranked.end(), [](const auto& a, const auto& b) {
        return a.second != b.second ? a.second > b.second : a.first < b.first;
    });
    if (ranked.size() > size_t(kMaxExtensionPills)) ranked.resize(kMaxExtensionPills);

    QList<Pill> pills{{QCoreApplication::translate("ExtensionPills", "All"), QString()}};
    for (const auto& [extension, count] : ranked)
        pills.append({extension.toUpper() + QStringLiteral(" (") + QString::number(count) + u')',
                      extension});
    if (withFolders && anyFolder)
        pills.append({QCoreApplication::translate("ExtensionPills", "Folders"), kFolderKey});
    return pills;
}

}  // namespace tarnwick
