#include "TempTree.h"

#include <QDir>
#include <QtTest>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tarnwick::test {

namespace {

// Empties a folder through descriptors, giving back permissions a test took away, so that trees
// deeper than any whole path (PATH_MAX) go as well.
void removeContents(int folder) {
    DIR* dir = fdopendir(folder);
    if (!dir) return void(::close(folder));
    while (const dirent* entry = readdir(dir)) {
        const char* name = entry->d_name;
        if (!strcmp(name, ".") || !strcmp(name, "..")) continue;
        struct stat st;
        if (fstatat(dirfd(dir), name, &st, AT_SYMLINK_NOFOLLOW) == 0 && S_ISDIR(st.st_mode)) {
            fchmodat(dirfd(dir), name, 0755, 0);
            removeContents(openat(dirfd(dir), name, O_RDONLY | O_DIRECTORY | O_CLOEXEC));
            unlinkat(dirfd(dir), name, AT_REMOVEDIR);
        } else {
            unlinkat(dirfd(dir), name, 0);
        }
    }
    closedir(dir);
}

}  // namespace

TempTree::TempTree(const QString& base)
    : m_dir(base.isEmpty() ? QTemporaryDir()
                           : (QDir().mkpath(base),
                              QTemporaryDir(base + QStringLiteral("/tarnwick-test-XXXXXX")))) {}

TempTree::~TempTree() {
    if (!isValid()) return;
    ::chmod(path().constData(), 0755);
    removeContents(::open(path().constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
}

// The folder `relative` made where missing, walked one name at a time so that its path may be
// longer than PATH_MAX; the caller closes it.
int TempTree::openFolder(const QByteArray& relative) const {
    int fd = ::open(path().constData(), O_PATH | O_DIRECTORY | O_CLOEXEC);
    for (const QByteArray& name : relative.split('/')) {
        if (name.isEmpty() || fd < 0) continue;
        if (mkdirat(fd, name.constData(), 0755) != 0 && errno != EEXIST) return ::close(fd), -1;
        const int next = openat(fd, name.constData(), O_PATH | O_DIRECTORY | O_CLOEXEC);
        ::close(fd);
        fd = next;
    }
    return fd;
}
void TempTree::mkdir(const QByteArray& relative) {
    const int fd = openFolder(relative);
    QVERIFY2(fd >= 0, relative.left(200).constData());
    ::close(fd);
}
void TempTree::write(const QByteArray& relative, const QByteArray& content) {
    const qsizetype slash = relative.lastIndexOf('/');
    const int folder = openFolder(slash > 0 ? relative.left(slash) : QByteArray());
    const QByteArray name = relative.mid(slash + 1);
    int fd = openat(folder, name.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    ::close(folder);
    QVERIFY2(fd >= 0, relative.left(200).constData());
    QCOMPARE(::write(fd, content.constData(), size_t(content.size())), content.size());
    ::close(fd);
}
void TempTree::symlink(const QByteArray& target, const QByteArray& relative) {
    QCOMPARE(::symlink(target.constData(), pathOf(relative).constData()), 0);
}
void TempTree::touch(const QByteArray& relative, qint64 secondsSinceEpoch) {
    struct timespec times[2] = {{time_t(secondsSinceEpoch), 0}, {time_t(secondsSinceEpoch), 0}};
    QCOMPARE(utimensat(AT_FDCWD, pathOf(relative).constData(), times, AT_SYMLINK_NOFOLLOW), 0);
}

}  // namespace tarnwick::test
