#include "DescriptorTrash.h"

#include "core/FileUri.h"
#include "core/PathAnchor.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tarnwick {

namespace {

constexpr qsizetype kNameMax = 255;
const QByteArray kInfoSuffix = ".trashinfo";

class Descriptor {
public:
    explicit Descriptor(int fd) : m_fd(fd) {}
    ~Descriptor() {
        if (m_fd >= 0) ::close(m_fd);
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int get() const { return m_fd; }

private:
    int m_fd;
};

QString failure(const QByteArray& path, const char* why) {
    return QCoreApplication::translate("Trash", "“%1” could not be moved to the trash: %2.")
        .arg(QString::fromUtf8(lastPathComponent(path)), QString::fromLocal8Bit(why));
}

// "name", "name.2", ... cut so that the info file's name stays within one file name's length.
QByteArray trashName(const QByteArray& name, int attempt) {
    const QByteArray tail = attempt == 1 ? QByteArray() : '.' + QByteArray::number(attempt);
    return name.left(kNameMax - kInfoSuffix.size() - tail.size()) + tail;
}

QByteArray trashInfo(const QByteArray& path) {
    return "[Trash Info]\nPath=" + path.toPercentEncoding("/") + "\nDeletionDate=" +
           QDateTime::currentDateTime().toString(Qt::ISODate).left(19).toLatin1() + '\n';
}

}  // namespace

std::optional<QString> trashThroughDescriptors(const QByteArray& path,
                                               const QByteArray& userDataDir) {
    // As GIO makes it: only the user may look into the trash.
    const QByteArray trash = userDataDir + "/Trash";
    QDir().mkpath(QFile::decodeName(userDataDir));
    for (const QByteArray& folder : {trash, trash + "/files", trash + "/info"})
        ::mkdir(folder.constData(), 0700);
    const Descriptor files(
        ::open((trash + "/files").constData(), O_PATH | O_DIRECTORY | O_CLOEXEC));
    const Descriptor infos(::open((trash + "/info").constData(), O_PATH | O_DIRECTORY | O_CLOEXEC));
    if (files.get() < 0 || infos.get() < 0) return failure(path, "the home trash is unusable");
    const PathAnchor item(path);
    struct stat itemStat, trashStat;
    if (!item.isValid() || fstatat(item.folder(), item.rest(), &itemStat, AT_SYMLINK_NOFOLLOW) ||
        fstat(files.get(), &trashStat))
        return failure(path, std::strerror(errno));
    if (itemStat.st_dev != trashStat.st_dev)
        return failure(path, "its path is too long for the trash of its own volume");

    const QByteArray name = lastPathComponent(withoutTrailingSlashes(path));
    for (int attempt = 1;; ++attempt) {
        const QByteArray entry = trashName(name, attempt);
        const QByteArray infoName = entry + kInfoSuffix;
        const Descriptor info(openat(infos.get(), infoName.constData(),
                                     O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600));
        if (info.get() < 0 && errno == EEXIST) continue;
        const QByteArray text = trashInfo(path);
        if (info.get() < 0 ||
            ::write(info.get(), text.constData(), size_t(text.size())) != ssize_t(text.size()))
            return unlinkat(infos.get(), infoName.constData(), 0),
                   failure(path, std::strerror(errno));
        if (renameat2(item.folder(), item.rest(), files.get(), entry.constData(),
                      RENAME_NOREPLACE) == 0)
            return std::nullopt;
        const int renameError = errno;
        unlinkat(infos.get(), infoName.constData(), 0);
        if (renameError != EEXIST) return failure(path, std::strerror(renameError));
    }
}

}  // namespace tarnwick
