#include "NativeFile.h"

#include "core/PathAnchor.h"

#include <algorithm>
#include <cerrno>
#include <utility>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tarnwick {

NativeFile NativeFile::open(const QByteArray& path, LinkPolicy links) {
    // O_NONBLOCK keeps a FIFO from blocking the open; fstat then turns it away.
    int flags = O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY;
    if (links == LinkPolicy::refuse) flags |= O_NOFOLLOW;
    NativeFile file(openAnyLength(path, flags));
    if (!file.isOpen()) return {};
    struct stat st;
    if (fstat(file.m_fd, &st) != 0 || !S_ISREG(st.st_mode)) return {};
    file.m_size = qint64(st.st_size);
    file.m_modifiedMsecs = qint64(st.st_mtim.tv_sec) * 1000 + st.st_mtim.tv_nsec / 1000000;
    posix_fadvise(file.m_fd, 0, 0, POSIX_FADV_SEQUENTIAL);
    return file;
}

NativeFile::~NativeFile() {
    close();
}

NativeFile::NativeFile(NativeFile&& other) noexcept
    : m_fd(std::exchange(other.m_fd, -1)),
      m_size(other.m_size),
      m_position(other.m_position),
      m_modifiedMsecs(other.m_modifiedMsecs) {}

NativeFile& NativeFile::operator=(NativeFile&& other) noexcept {
    if (this != &other) {
        close();
        m_fd = std::exchange(other.m_fd, -1);
        m_size = other.m_size;
        m_position = other.m_position;
        m_modifiedMsecs = other.m_modifiedMsecs;
    }
    return *this;
}

void NativeFile::close() {
    if (m_fd >= 0) ::close(m_fd);
    m_fd = -1;
}

QByteArray NativeFile::head(qint64 limit) const {
    QByteArray bytes(limit, Qt::Uninitialized);
    qint64 filled = 0;
    while (m_fd >= 0 && filled < limit) {
        const ssize_t got = ::pread(m_fd, bytes.data() + filled, size_t(limit - filled), filled);
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) break;
        filled += got;
    }
    bytes.truncate(filled);
    return bytes;
}

qint64 NativeFile::read(char* buffer, qint64 capacity) {
    if (m_fd < 0) return -1;
    // A file that grows while it is read (a log being written) ends where it ended when opened,
    // so that one without an end cannot keep a reader going.
    capacity = std::min(capacity, m_size - m_position);
    if (capacity <= 0) return 0;
    for (;;) {
        ssize_t got = ::read(m_fd, buffer, size_t(capacity));
        if (got >= 0) return m_position += got, qint64(got);
        if (errno != EINTR) return -1;
    }
}

}  // namespace tarnwick
