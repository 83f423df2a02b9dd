#include "TempTree.h"

#include <QDir>
#include <QtTest>

#include <fcntl.h>
#include <ftw.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tarnwick::test {

TempTree::TempTree(const QString& base)
    : m_dir(base.isEmpty() ? QTemporaryDir()
                           : (QDir().mkpath(base),
                              QTemporaryDir(base + QStringLiteral("/tarnwick-test-XXXXXX")))) {}

TempTree::~TempTree() {
    // Give back permissions a test took away, so that the whole tree can be removed.
    auto allow = [](const char* p, const struct stat* st, int, struct FTW*) {
        if (st && S_ISDIR(st->st_mode)) ::chmod(p, 0755);
        return 0;
    };
    if (isValid()) nftw(path().constData(), allow, 16, FTW_PHYS);
}
void TempTree::mkdir(const QByteArray& relative) {
    const QByteArray full = pathOf(relative);
    for (qsizetype end = path().size() + 1; end <= full.size(); ++end) {
        if (end < full.size() && full[end] != '/') continue;
        if (::mkdir(full.left(end).constData(), 0755) != 0 && errno != EEXIST)
            QFAIL(qPrintable(QStringLiteral("mkdir failed: ") + QString::fromUtf8(full.left(end))));
    }
}
void TempTree::write(const QByteArray& relative, const QByteArray& content) {
    if (relative.lastIndexOf('/') > 0) mkdir(relative.left(relative.lastIndexOf('/')));
    int fd = ::open(pathOf(relative).constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    QVERIFY2(fd >= 0, relative.constData());
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
