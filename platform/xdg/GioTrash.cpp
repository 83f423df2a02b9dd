#include <gio/gio.h>

#include "GioTrash.h"

#include "DescriptorTrash.h"
#include "TrashFolders.h"
#include "core/PathAnchor.h"

#include <QCoreApplication>

namespace tarnwick {

namespace {

std::optional<QString> trashWithGio(const QByteArray& path) {
    if (!fitsWholePathCalls(path)) return trashThroughDescriptors(path, g_get_user_data_dir());
    GFile* file = g_file_new_for_path(path.constData());
    GError* error = nullptr;
    const bool trashed = g_file_trash(file, nullptr, &error);
    g_object_unref(file);
    if (trashed) return std::nullopt;
    QString message = error ? QString::fromUtf8(error->message)
                            : QCoreApplication::translate("Trash", "unknown error");
    g_clear_error(&error);
    return message;
}

QString displayName(const QByteArray& path) {
    return QString::fromUtf8(path);
}

}  // namespace

GioTrash::GioTrash() : m_mover(trashWithGio) {}

GioTrash::GioTrash(Mover mover) : m_mover(std::move(mover)) {}

TrashOutcome GioTrash::moveToTrash(const QByteArray& path) {
    const std::optional<FileIdentity> before = identityOf(path);
    if (std::optional<QString> refusal = m_mover(path)) return {false, *refusal};
    if (!before)
        return {false,
                QCoreApplication::translate("Trash", "“%1” was not found.").arg(displayName(path))};
    if (identityOf(path) == before)
        return {false,
                QCoreApplication::translate(
                    "Trash", "“%1” could not be moved to the trash: it is still in its place.")
                    .arg(displayName(path))};
    const QList<QByteArray> folders =
        trashFilesFolders(path, before->device, QByteArray(g_get_user_data_dir()));
    if (!findTrashedEntry(folders, *before))
        return {false,
                QCoreApplication::translate("Trash", "“%1” was moved, but not into a trash folder.")
                    .arg(displayName(path))};
    return {true, {}};
}

}  // namespace tarnwick
