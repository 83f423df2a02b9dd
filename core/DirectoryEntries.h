#pragma once

#include <cstddef>
#include <cstring>
#include <vector>

#include <dirent.h>

namespace tarnwick {

// Calls `visit(name, length, type)` for each entry of the open folder `fd` (its d_type; "." and
// ".." included), in the order readdir gives them, read straight with getdents64 into `buffer`: a
// walk of a large tree opens tens of thousands of folders, and the stream functions would spend a
// stat, two fcntl calls and an allocation on each. False when the folder could not be read to its
// end.
template <typename Visit>
bool forEachDirectoryEntry(int fd, std::vector<char>& buffer, Visit&& visit) {
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
    }
}

}  // namespace tarnwick
