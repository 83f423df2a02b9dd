#pragma once

#include <QByteArray>

#include <sys/stat.h>

namespace tarnwick {

// Where the *at() calls (openat, fstatat, renameat) should start to reach one native path, also
// when the path is longer than the kernel takes in one call (PATH_MAX, 4096 bytes): the folders
// in front are walked a chunk at a time with directory descriptors, and what is left names the
// target from the last one. A short path costs nothing: it is used as it is, from AT_FDCWD.
class PathAnchor {
public:
    explicit PathAnchor(const QByteArray& path);
    ~PathAnchor();
    PathAnchor(const PathAnchor&) = delete;
    PathAnchor& operator=(const PathAnchor&) = delete;

    // False when a folder on the way could not be entered (errno tells why).
    bool isValid() const { return m_valid; }
    int folder() const { return m_folder; }
    const char* rest() const { return m_rest.constData(); }

private:
    int m_folder;
    QByteArray m_rest;
    bool m_valid = true;
};

// Whether desktop services that take a whole path or URI (the file manager, the default
// application) can be handed `path` at all.
bool fitsWholePathCalls(const QByteArray& path);

// open(2) and lstat/stat through a PathAnchor: any length of path.
int openAnyLength(const QByteArray& path, int flags);
int statAnyLength(const QByteArray& path, struct stat* st, bool followLinks);

}  // namespace tarnwick
