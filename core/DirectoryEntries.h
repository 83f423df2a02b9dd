#pragma once

#include <cstddef>
#include <cstring>
#include <vector>

#include <dirent.h>
#include <fcntl.h>
#include <linux/magic.h>
#include <sys/stat.h>
#include <sys/vfs.h>

namespace tarnwick {

// Whether the file system of the open folder `fd` fills every read of a folder up to the end of
// the buffer or of the folder, as ext2/3/4 and tmpfs do: a read that leaves room for the longest
// entry was then the last, and the read that would only say so is saved (half the reads of a
// tree of small folders). Others (FUSE, network file systems) may stop short; they are read
// until a read finds nothing.
inline bool fillsWholeReads(int fd) {
    struct statfs fs;
    return fstatfs(fd, &fs) == 0 && (fs.f_type == EXT4_SUPER_MAGIC || fs.f_type == TMPFS_MAGIC);
}

// Calls `visit(name, length, type)` for each entry of the open folder `fd` (its d_type; "." and
// ".." included), in the order readdir gives them, read straight with getdents64 into `buffer`: a
// walk of a large tree opens tens of thousands of folders, and the stream functions would spend a
// stat, two fcntl calls and an allocation on each. False when the folder could not be read to its
// end. `wholeReads`: what fillsWholeReads said of the folder's file system.
template <typename Visit>
bool forEachDirectoryEntry(int fd, std::vector<char>& buffer, Visit&& visit,
                           bool wholeReads = false) {
    constexpr size_t kBufferBytes = 32768;
    if (buffer.size() < kBufferBytes) buffer.resize(kBufferBytes);
    for (;;) {
        const ssize_t got = getdents64(fd, buffer.data(), buffer.size());
        if (got == 0) return true;
        if (got < 0) return false;
        for (ssize_t at = 0; at < got;) {
            const auto* entry = reinterpret_cast<const dirent64*>(buffer.data() + at);
            at += entry->d_reclen;
            if (entry->d_ino == 0) continue;  // deleted, as readdir skips it
            visit(entry->d_name, std::strlen(entry->d_name), entry->d_type);
        }
        if (wholeReads && buffer.size() - size_t(got) >= sizeof(dirent64)) return true;
    }
}

// The entry's kind as the directory reports it; only file systems that do not report kinds
// cost a stat.
inline bool isDirectoryEntry(int fd, const char* name, unsigned char type) {
    if (type != DT_UNKNOWN) return type == DT_DIR;
    struct stat st;
    return fstatat(fd, name, &st, AT_SYMLINK_NOFOLLOW) == 0 && S_ISDIR(st.st_mode);
}

// The entries a listing shows, as the walk and the revalidation of kept listings both read them
// (the two must agree entry for entry): no "." or "..", and no hidden name unless `showHidden`;
// `hasHiddenList` is set when a ".hidden" file was passed over.
template <typename Visit>
bool forEachListedEntry(int fd, std::vector<char>& buffer, bool showHidden, bool& hasHiddenList,
                        Visit&& visit, bool wholeReads = false) {
    return forEachDirectoryEntry(
        fd, buffer,
        [&](const char* name, size_t length, unsigned char type) {
            if (name[0] == '.' && (name[1] == 0 || (name[1] == '.' && name[2] == 0))) return;
            if (!showHidden && name[0] == '.') {
                hasHiddenList |= std::strcmp(name, ".hidden") == 0;
                return;
            }
            visit(name, length, type);
        },
        wholeReads);
}

}  // namespace tarnwick
