#include "HiddenList.h"

#include <fcntl.h>
#include <unistd.h>

namespace tarnwick {

namespace {

constexpr qint64 kHiddenListLimit = 1 << 20;

}  // namespace

QSet<QByteArray> readHiddenList(int folderFd) {
    QSet<QByteArray> names;
    int fd = openat(folderFd, ".hidden", O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK);
    if (fd < 0) return names;
    QByteArray content;
    char buffer[8192];
    ssize_t got;
    while (content.size() < kHiddenListLimit && (got = read(fd, buffer, sizeof buffer)) > 0)
        content.append(buffer, got);
    close(fd);
    for (const QByteArray& line : content.split('\n')) {
        if (!line.isEmpty()) names.insert(line);
    }
    return names;
}

}  // namespace tarnwick
