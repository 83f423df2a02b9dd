#include "TrashFolders.h"

#include "core/FileUri.h"
#include "core/PathAnchor.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tarnwick {

namespace {

QByteArray parentOf(const QByteArray& path) {
    const qsizetype slash = path.lastIndexOf('/');
    return slash <= 0 ? QByteArray("/") : path.left(slash);
}

// The highest folder above `path` that is still on `device`: the volume's mount point.
QByteArray volumeTop(const QByteArray& path, dev_t device) {
    QByteArray top = parentOf(path);
    while (top != "/") {
        const QByteArray up = parentOf(top);
        struct stat st;
        if (lstat(up.constData(), &st) != 0 || st.st_dev != device) break;
        top = up;
    }
    return top;
}

QByteArray joined(const QByteArray& folder, const QByteArray& name) {
    return folder.endsWith('/') ? folder + name : folder + '/' + name;
}

std::optional<QByteArray> findIn(const QByteArray& folder, FileIdentity identity) {
    DIR* dir = opendir(folder.constData());
    if (!dir) return std::nullopt;
    std::optional<QByteArray> found;
    while (const dirent* entry = readdir(dir)) {
        struct stat st;
        if (fstatat(dirfd(dir), entry->d_name, &st, AT_SYMLINK_NOFOLLOW) != 0) continue;
        if (st.st_dev == identity.device && st.st_ino == identity.inode) {
            found = joined(folder, entry->d_name);
            break;
        }
    }
    closedir(dir);
    return found;
}

}  // namespace

std::optional<FileIdentity> identityOf(const QByteArray& path) {
    struct stat st;
    if (statAnyLength(path, &st, false) != 0) return std::nullopt;
    return FileIdentity{st.st_dev, st.st_ino};
}

QList<QByteArray> trashFilesFolders(const QByteArray& path, dev_t device,
                                    const QByteArray& userDataDir) {
    const QByteArray top = volumeTop(withoutTrailingSlashes(path), device);
    const QByteArray uid = QByteArray::number(quint64(getuid()));
    return {joined(userDataDir, "Trash/files"), joined(top, ".Trash/" + uid + "/files"),
            joined(top, ".Trash-" + uid + "/files")};
}

std::optional<QByteArray> findTrashedEntry(const QList<QByteArray>& folders,
                                           FileIdentity identity) {
    for (const QByteArray& folder : folders)
        if (std::optional<QByteArray> entry = findIn(folder, identity)) return entry;
    return std::nullopt;
}

}  // namespace tarnwick
