#pragma once

#include <QByteArray>

namespace tarnwick {

enum class LinkPolicy { follow, refuse };

// A regular file opened for reading by its native path bytes (names that are not UTF-8 included,
// paths of any length).
// Anything that is not a regular file (a folder, a FIFO, a device) is refused without blocking.
class NativeFile {
public:
    NativeFile() = default;
    static NativeFile open(const QByteArray& path, LinkPolicy links);
    ~NativeFile();
    NativeFile(NativeFile&& other) noexcept;
    NativeFile& operator=(NativeFile&& other) noexcept;
    NativeFile(const NativeFile&) = delete;
    NativeFile& operator=(const NativeFile&) = delete;

    bool isOpen() const { return m_fd >= 0; }
    int descriptor() const { return m_fd; }
    qint64 size() const { return m_size; }
    qint64 modifiedMsecs() const { return m_modifiedMsecs; }

    // Up to `capacity` bytes from the current position, never past the size the file had when
    // opened; 0 at the end, -1 on an error.
    qint64 read(char* buffer, qint64 capacity);
    // Up to `limit` bytes from the start of the file, leaving the current position where it is.
    QByteArray head(qint64 limit) const;

private:
    explicit NativeFile(int fd) : m_fd(fd) {}
    void close();

    int m_fd = -1;
    qint64 m_size = 0;
    qint64 m_position = 0;
    qint64 m_modifiedMsecs = 0;
};

// Bytes read per call by the streaming readers; what one file costs in memory is a small multiple.
inline constexpr qint64 kReadChunkBytes = 64 * 1024;

}  // namespace tarnwick
