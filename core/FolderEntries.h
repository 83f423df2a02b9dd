#pragma once

#include <QByteArray>
#include <QByteArrayView>

#include <functional>
#include <optional>
#include <vector>

#include <sys/stat.h>

namespace tarnwick {

// One folder's entries read as the directory walk reads them: the same names left out (".",
// "..", hidden ones, those in ".hidden"), the same kinds, the same order; and the folder's stat
// (and its ".hidden" file's) taken before its entries were read.
struct FolderEntries {
    struct Entry {
        size_t offset;
        size_t length;
        bool isDirectory;
    };
    bool opened = false;
    struct stat folder {};
    std::optional<struct stat> hiddenList;
    std::vector<char> names;
    std::vector<Entry> entries;

    QByteArrayView name(const Entry& e) const { return QByteArrayView(&names[e.offset], e.length); }
};

// Reads the folder at `path` (a root through a symbolic link, any other folder only as itself);
// a folder for which `skip(fd, device)` is true is stat'ed but its entries are left unread.
FolderEntries readFolderEntries(const QByteArray& path, bool isRoot, bool showHidden,
                                const std::function<bool(int fd, dev_t device)>& skip);

}  // namespace tarnwick
