#include "NautilusTabChoice.h"

#include "core/FileUri.h"

#include <QList>

namespace tarnwick {

namespace {

bool titleNames(const QString& title, const QByteArray& folder, const QByteArray& homeFolder) {
    if (folder == homeFolder && title == QLatin1String("Home")) return true;
    return title == QString::fromUtf8(lastPathComponent(folder));
}

}  // namespace

std::optional<QByteArray> nautilusWindowFolder(const QStringList& tabUris,
                                               const QString& windowTitle,
                                               const QByteArray& homeFolder) {
    const QByteArray home = withoutTrailingSlashes(homeFolder);
    QList<QByteArray> folders;
    for (const QString& uri : tabUris) {
        const std::optional<QByteArray> path = pathFromFileUri(uri.toUtf8());
        folders.append(path ? withoutTrailingSlashes(*path) : QByteArray());
    }
    if (folders.size() == 1) {
        if (folders.first().isEmpty()) return std::nullopt;
        return folders.first();
    }
    std::optional<QByteArray> chosen;
    for (const QByteArray& folder : folders) {
        if (folder.isEmpty() || !titleNames(windowTitle, folder, home)) continue;
        if (chosen && *chosen != folder) return std::nullopt;
        chosen = folder;
    }
    return chosen;
}

}  // namespace tarnwick
