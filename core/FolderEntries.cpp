#include "FolderEntries.h"

#include "DirectoryEntries.h"
#include "HiddenList.h"
#include "PathAnchor.h"

#include <QSet>

#include <fcntl.h>
#include <unistd.h>

namespace tarnwick {

namespace {

void readEntries(int fd, bool showHidden, FolderEntries& out) {
    bool hasHiddenList = false;
    std::vector<char> buffer;
    forEachListedEntry(
        fd, buffer, showHidden, hasHiddenList,
        [&](const char* name, size_t length, unsigned char type) {
            out.entries.push_back({out.names.size(), length, isDirectoryEntry(fd, name, type)});
            out.names.insert(out.names.end(), name, name + length + 1);
        });
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
    if (!skip(fd, out.folder.st_dev)) readEntries(fd, showHidden, out);
    close(fd);
    return out;
}

}  // namespace tarnwick
