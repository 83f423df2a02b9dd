#include "ClipboardPayload.h"

#include "core/FileUri.h"

#include <QMimeData>

namespace tarnwick {

std::unique_ptr<QMimeData> pathPayload(const QByteArray& path) {
    auto data = std::make_unique<QMimeData>();
    data->setData(QStringLiteral("text/plain"), path);
    return data;
}

std::unique_ptr<QMimeData> filesPayload(const QList<QByteArray>& paths) {
    auto data = std::make_unique<QMimeData>();
    data->setData(QStringLiteral("text/uri-list"), uriList(paths));
    const QByteArray copied = copiedFilesList(paths);
    data->setData(QStringLiteral("x-special/gnome-copied-files"), copied);
    data->setData(QStringLiteral("x-special/mate-copied-files"), copied);
    data->setData(QStringLiteral("application/x-kde-cutselection"), QByteArray("0"));
    return data;
}

QByteArray uriList(const QList<QByteArray>& paths) {
    QByteArray list;
    for (const QByteArray& path : paths) list += fileUriFromPath(path).toLatin1() + "\r\n";
    return list;
}

QByteArray copiedFilesList(const QList<QByteArray>& paths) {
    QByteArray list("copy");
    for (const QByteArray& path : paths) list += '\n' + fileUriFromPath(path).toLatin1();
    return list;
}

}  // namespace tarnwick
