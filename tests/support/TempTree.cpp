#include "TempTree.h"

#include <QDir>
#include <QtTest>

#include <fcntl.h>
#include <ftw.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tarnwick::test {

namespace {
QTemporaryDir makeDir(const QString& base) {
    if (base.isEmpty()) return QTemporaryDir();
    QDir().mkpath(base);
    return QTemporaryDir(base + QStringLiteral("/tarnwick-test-XXXXXX"));
}
}  // namespace

TempTree::TempTree(const QString& base) : m_dir(makeDir(base)) {}

TempTree::~TempTree() {
    // Give back permissions a test took away, so that the whole tree can be removed.
    if (!isValid()) return;
    nftw(
        path().constData(),
        [](const char* p, const struct stat* st, int, struct FTW*) {
            if (st && S_ISDIR(st->st_mode)) ::chmod(p, 0755);
            return 0;
        },
        16, FTW_PHYS);
}

QByteArray TempTree::path() const {
    return QFile::encodeName(m_dir.path());
}

QByteArray TempTree::pathOf(const QByteArray& relative) const {
    return path() + '/' + relative;
}

void TempTree::mkdir(const QByteArray& relative) {
    QByteArray full = pathOf(relative);
    for (qsizetype slash = path().size() + 1; slash <= full.size(); ++slash) {
        if (slash == full.size() || full[slash] == '/') {
            QByteArray prefix = full.left(slash);
            if (::mkdir(prefix.constData(), 0755) != 0 && errno != EEXIST)
                QFAIL(qPrintable(QStringLiteral("mkdir failed: ") + QString::fromUtf8(prefix)));
        }
    }
}

void TempTree::write(const QByteArray& relative, const QByteArray& content) {
    qsizetype slash = relative.lastIndexOf('/');
    if (slash > 0) mkdir(relative.left(slash));
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
