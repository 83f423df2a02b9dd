// libFuzzer entry for a folder's .hidden file: written to a real folder and read back, it lists
// exactly its non-empty lines.
#include "core/HiddenList.h"

#include <QTemporaryDir>

#include <cstdlib>

#include <fcntl.h>
#include <unistd.h>

using namespace tarnwick;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static QTemporaryDir folder;
    static const int folderFd =
        open(QFile::encodeName(folder.path()).constData(), O_RDONLY | O_DIRECTORY);
    const QByteArray content(reinterpret_cast<const char*>(data), qsizetype(size));
    const int fd = openat(folderFd, ".hidden", O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd < 0 || write(fd, content.data(), size) != qsizetype(size) || close(fd) != 0)
        std::abort();
    QSet<QByteArray> lines;
    for (const QByteArray& line : content.split('\n'))
        if (!line.isEmpty()) lines.insert(line);
    if (readHiddenList(folderFd) != lines) std::abort();
    return 0;
}
