#include "FolderEntries.h"

#include "HiddenList.h"
#include "PathAnchor.h"

#include <QSet>

#include <cstring>

#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>

namespace tarnwick {

namespace {

bool isDirectoryEntry(int fd, const char* name, unsigned char type) {
    if (type != DT_UNKNOWN) return type == DT_DIR;
    struct stat st;
    return fstatat(fd, name, &st, AT_SYMLINK_NOFOLLOW) == 0 && S_ISDIR(st.st_mode);
}

void readEntries(DIR* dir, bool showHidden, FolderEntries& out) {
    const int fd = dirfd(dir);
    bool hasHiddenList = false;
    while (dirent* e = readdir(dir)) {
        const char* name = e->d_name;
        if (name[0] == '.' && (name[1] == 0 || (name[1] == '.' && name[2] == 0))) continue;
        if (!showHidden && name[0] == '.') {
            hasHiddenList |= strcmp(name, ".hidden") == 0;
            continue;
        }
        const size_t length = strlen(name);
        out.entries.push_back({out.names.size(), length, isDirectoryEntry(fd, name, e->d_type)});
        out.names.insert(out.names.end(), name, name + length + 1);
    }
    struct stat st;
    if (!hasHiddenList || fstatat(fd, ".hidden", &st, AT_SYMLINK_NOFOLLOW) != 0) return;
    out.hiddenList = st;  // stamped before it is read: a later edit shows
    const QSet<QByteArray> hidden = readHiddenList(fd);
    std::erase_if(out.entries, [&](const FolderEntries::Entry& e) {
        return hidden.contains(QByteArray::fromRawData(&out.names[e.offset], qsizetype(e.length)));
    });
}

}  // namespace

FolderEntries readFolderEntries(const QByteArray& path, bool isRoot, bool showHidden,
                                const std::function<bool(int fd, dev_t device)>& skip) {
    FolderEntries out;
    const int fd =
        openAnyLength(path, O_RDONLY | O_DIRECTORY | O_CLOEXEC | (isRoot ? 0 : O_NOFOLLOW));
    if (fd < 0) return out;
    if (fstat(fd, &out.folder) != 0) {
        close(fd);
        return out;
    }
    out.opened = true;
    DIR* dir = skip(fd, out.folder.st_dev) ? nullptr : fdopendir(fd);
    if (!dir) {
        close(fd);
        return out;
    }
    readEntries(dir, showHidden, out);
    closedir(dir);
    return out;
}

}  // namespace tarnwick
