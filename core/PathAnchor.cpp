#include "PathAnchor.h"

#include <cerrno>
#include <climits>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tarnwick {

namespace {

// The longest run of whole components from `start` that one call takes, ending before a '/'.
qsizetype chunkEnd(const QByteArray& path, qsizetype start) {
    const qsizetype limit = start + PATH_MAX - 1;
    const qsizetype slash = path.lastIndexOf('/', limit);
    return slash > start ? slash : -1;
}

}  // namespace

PathAnchor::PathAnchor(const QByteArray& path) : m_folder(AT_FDCWD), m_rest(path) {
    if (fitsWholePathCalls(path)) return;
    qsizetype start = 0;
    if (path.startsWith('/')) {
        m_folder = ::open("/", O_PATH | O_DIRECTORY | O_CLOEXEC);
        start = 1;
    }
    while (m_folder != -1 && path.size() - start >= PATH_MAX) {
        const qsizetype end = chunkEnd(path, start);
        if (end < 0) {
            errno = ENAMETOOLONG;  // one name longer than any file system allows
            break;
        }
        const QByteArray chunk = path.mid(start, end - start);
        const int next = openat(m_folder, chunk.constData(), O_PATH | O_DIRECTORY | O_CLOEXEC);
        if (m_folder != AT_FDCWD) ::close(m_folder);
        m_folder = next;
        start = end + 1;
    }
    m_valid = m_folder != -1 && path.size() - start < PATH_MAX;
    m_rest = path.mid(start);
}

PathAnchor::~PathAnchor() {
    if (m_folder >= 0) ::close(m_folder);
}

bool fitsWholePathCalls(const QByteArray& path) {
    return path.size() < PATH_MAX;
}

int openAnyLength(const QByteArray& path, int flags) {
    const PathAnchor anchor(path);
    return anchor.isValid() ? openat(anchor.folder(), anchor.rest(), flags) : -1;
}

int statAnyLength(const QByteArray& path, struct stat* st, bool followLinks) {
    const PathAnchor anchor(path);
    if (!anchor.isValid()) return -1;
    return fstatat(anchor.folder(), anchor.rest(), st, followLinks ? 0 : AT_SYMLINK_NOFOLLOW);
}

}  // namespace tarnwick
