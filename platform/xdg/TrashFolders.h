#pragma once

#include <QByteArray>
#include <QList>

#include <optional>

#include <sys/types.h>

namespace tarnwick {

// What stays the same when a file is renamed on its volume: how a trashed item is recognised in
// the trash without relying on the name the trash gave it.
struct FileIdentity {
    dev_t device = 0;
    ino_t inode = 0;
    bool operator==(const FileIdentity&) const = default;
};

// The identity of `path` itself (a symbolic link is not followed), or nothing when it is gone.
std::optional<FileIdentity> identityOf(const QByteArray& path);

// The trash folders ("…/files") an item at `path` on `device` can have been moved to: the home
// trash below `userDataDir`, then the volume's "$topdir/.Trash/$uid" and "$topdir/.Trash-$uid".
QList<QByteArray> trashFilesFolders(const QByteArray& path, dev_t device,
                                    const QByteArray& userDataDir);

// The entry of one of `folders` that is the item `identity`, as an absolute path.
std::optional<QByteArray> findTrashedEntry(const QList<QByteArray>& folders, FileIdentity identity);

}  // namespace tarnwick
