#include "core/DirectoryListing.h"
#include "core/Preferences.h"
#include "core/VirtualFileSystems.h"
#include "tests/support/TempTree.h"
#include "tests/support/TestRunner.h"

#include <QDir>
#include <QFile>
#include <QSettings>
#include <QStandardPaths>
#include <QtTest>

#include <random>
#include <thread>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace tarnwick;
using tarnwick::test::TempTree;

namespace {

QList<QByteArray> relativePaths(const QList<FileItem>& items) {
    QList<QByteArray> paths;
    for (const FileItem& item : items) paths.append(item.nativeRelativePath());
    return paths;
}

QList<FileItem> list(const QByteArray& folder, bool hidden = false, int threads = 0) {
    ListingOptions options;
    options.showHiddenFiles = hidden;
    options.threads = threads;
    return listDirectory(folder, options);
}

// The order the listing promises, walked the plainest way: recursion over readdir.
void referenceWalk(const QByteArray& folder, const QByteArray& relative, QList<QByteArray>& out) {
    DIR* dir = opendir(folder.constData());
    if (!dir) return;
    while (dirent* e = readdir(dir)) {
        QByteArray name(e->d_name);
        if (name == "." || name == ".." || name.startsWith('.')) continue;
        QByteArray rel = relative.isEmpty() ? name : relative + '/' + name;
        out.append(rel);
        struct stat st;
        QByteArray full = folder + '/' + name;
        if (lstat(full.constData(), &st) == 0 && S_ISDIR(st.st_mode)) referenceWalk(full, rel, out);
    }
    closedir(dir);
}

void makeRandomTree(TempTree& tree, int folders, unsigned seed) {
    std::mt19937 random(seed);
    QList<QByteArray> dirs{""};
    for (int i = 0; i < folders; ++i) {
        QByteArray parent = dirs[qsizetype(random() % dirs.size())];
        QByteArray dir = (parent.isEmpty() ? "" : parent + '/') + "d" + QByteArray::number(i);
        tree.mkdir(dir);
        dirs.append(dir);
        for (unsigned f = 0; f < random() % 6; ++f)
            tree.write(dir + "/f" + QByteArray::number(f) + ".txt", "x");
    }
}

}  // namespace

class ListingTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void cleanup() { QFile::remove(settingsFile()); }

    void foldersComeRightBeforeTheirContents() {
        TempTree tree;
        tree.write("a.txt", "hello");
        tree.write("sub/b.txt");
        const QList<FileItem> items = list(tree.path());
        QCOMPARE(items.size(), 3);
        QList<QByteArray> paths = relativePaths(items);
        QVERIFY(paths.indexOf("sub") < paths.indexOf("sub/b.txt"));
        const FileItem& sub = items[paths.indexOf("sub")];
        QVERIFY(sub.isDirectory());
        QCOMPARE(sub.relativeDirectory(), QString());
        QCOMPARE(sub.fileSize(), 0);
        const FileItem& a = items[paths.indexOf("a.txt")];
        QCOMPARE(a.fileSize(), 5);
        QCOMPARE(items[paths.indexOf("sub/b.txt")].relativeDirectory(), QStringLiteral("sub"));
    }

    void attributesAreReadForEveryEntry() {
        TempTree tree;
        tree.write("old.txt", "12345678");
        tree.touch("old.txt", 1'000'000'000);
        tree.mkdir("dir");
        tree.symlink("dir", "link-to-dir");
        const QList<FileItem> items = list(tree.path());
        QList<QByteArray> paths = relativePaths(items);
        const FileItem& old = items[paths.indexOf("old.txt")];
        QCOMPARE(old.modifiedMsecs(), 1'000'000'000'000LL);
        QCOMPARE(old.fileSize(), 8);
        // A link to a folder is listed as itself: not a folder, not followed.
        QVERIFY(!items[paths.indexOf("link-to-dir")].isDirectory());
    }

    void hiddenEntriesFollowTheSetting() {
        TempTree tree;
        tree.write(".git/HEAD");
        tree.write(".env");
        tree.write("visible.txt");
        tree.write("secret.txt");
        tree.write("Private/inside.txt");
        tree.write(".hidden", "secret.txt\nPrivate\n\nmissing\n");
        QCOMPARE(relativePaths(list(tree.path())), QList<QByteArray>{"visible.txt"});
        QList<QByteArray> all = relativePaths(list(tree.path(), true));
        std::sort(all.begin(), all.end());
        QCOMPARE(all, (QList<QByteArray>{".env", ".git", ".git/HEAD", ".hidden", "Private",
                                         "Private/inside.txt", "secret.txt", "visible.txt"}));
    }

    void nothingToListGivesAnEmptyList() {
        TempTree tree;
        QVERIFY(list(tree.path()).isEmpty());
        QVERIFY(list(tree.pathOf("does-not-exist")).isEmpty());
        tree.write("file.txt");
        QVERIFY(list(tree.pathOf("file.txt")).isEmpty());
        QVERIFY(list("").isEmpty());
    }

    void symbolicLinksAreNeverFollowed() {
        TempTree tree;
        tree.write("sub/x.txt");
        tree.symlink("..", "sub/up");
        tree.symlink(".", "sub/self");
        tree.symlink("/", "sub/root");
        QList<QByteArray> paths = relativePaths(list(tree.path()));
        std::sort(paths.begin(), paths.end());
        QCOMPARE(paths, (QList<QByteArray>{"sub", "sub/root", "sub/self", "sub/up", "sub/x.txt"}));
    }

    void rootReachedThroughALinkIsListed() {
        TempTree tree;
        tree.write("real/a.txt");
        tree.symlink("real", "alias");
        const QList<FileItem> items = list(tree.pathOf("alias"));
        QCOMPARE(items.size(), 1);
        QCOMPARE(items[0].path(), tree.pathOf("alias/a.txt"));
    }

    void oddNamesSurviveFromListingToFile() {
        TempTree tree;
        const QByteArray invalid("bad\xff\xfe name.txt");
        const QByteArray longName = QByteArray(251, 'n') + ".txt";
        tree.write(invalid, "invalid-bytes");
        tree.write("line\nbreak.txt", "newline");
        tree.write(longName, "long");
        tree.write("Case.txt", "upper");
        tree.write("case.txt", "lower");
        const QList<FileItem> items = list(tree.path());
        QCOMPARE(items.size(), 5);
        QHash<QByteArray, QByteArray> contentByName;
        for (const FileItem& item : items) {
            QFile file;
            int fd = ::open(item.path().constData(), O_RDONLY);
            QVERIFY2(fd >= 0, item.path().constData());
            QVERIFY(file.open(fd, QIODevice::ReadOnly, QFile::AutoCloseHandle));
            contentByName.insert(item.nativeName().toByteArray(), file.readAll());
        }
        QCOMPARE(contentByName.value(invalid), QByteArray("invalid-bytes"));
        QCOMPARE(contentByName.value("line\nbreak.txt"), QByteArray("newline"));
        QCOMPARE(contentByName.value(longName), QByteArray("long"));
        QCOMPARE(contentByName.value("Case.txt"), QByteArray("upper"));
        QCOMPARE(contentByName.value("case.txt"), QByteArray("lower"));
        QVERIFY(QString::fromUtf8(invalid).contains(QChar::ReplacementCharacter));
    }

    void orderIsTheDepthFirstWalkWhateverTheThreads() {
        TempTree tree;
        makeRandomTree(tree, 400, 7);
        QList<QByteArray> expected;
        referenceWalk(tree.path(), {}, expected);
        QVERIFY(expected.size() > 800);
        for (int threads : {1, 2, 3, 8}) {
            for (int run = 0; run < 3; ++run)
                QCOMPARE(relativePaths(list(tree.path(), false, threads)), expected);
        }
    }

    void cancelledListingIsEmpty() {
        TempTree tree;
        makeRandomTree(tree, 300, 3);
        std::atomic<bool> cancelled = true;
        ListingOptions options;
        options.cancelled = &cancelled;
        QVERIFY(listDirectory(tree.path(), options).isEmpty());

        // Cancelled while it runs: never a partial list.
        const qsizetype full = list(tree.path()).size();
        for (int delayUs : {0, 200, 1000, 5000}) {
            cancelled = false;
            std::thread canceller([&] {
                std::this_thread::sleep_for(std::chrono::microseconds(delayUs));
                cancelled = true;
            });
            const qsizetype got = listDirectory(tree.path(), options).size();
            canceller.join();
            QVERIFY2(got == 0 || got == full, qPrintable(QString::number(got)));
        }
    }

    void foldersDeletedDuringTheWalkAreLeftOut() {
        TempTree tree;
        makeRandomTree(tree, 600, 11);
        QList<QByteArray> before;
        referenceWalk(tree.path(), {}, before);
        const QSet<QByteArray> known(before.begin(), before.end());
        std::thread remover(
            [&] { QDir(QString::fromUtf8(tree.pathOf("d0"))).removeRecursively(); });
        const QList<FileItem> items = list(tree.path(), false, 2);
        remover.join();
        for (const FileItem& item : items) QVERIFY(known.contains(item.nativeRelativePath()));
    }

    void settingDecidesHiddenFiles() {
        TempTree tree;
        tree.write(".dotfile");
        tree.write("plain");
        auto names = [&] { return relativePaths(listDirectory(tree.path(), nullptr)); };
        QCOMPARE(names(), QList<QByteArray>{"plain"});
        Preferences::setShowHiddenFiles(true);
        QCOMPARE(names().size(), 2);
        writeSettings("[General]\nshowHiddenFiles=banana\n");
        QCOMPARE(names(), QList<QByteArray>{"plain"});
        writeSettings("[General]\nshowHiddenFiles=true\n");
        QCOMPARE(names().size(), 2);
        writeSettings("[General\n\x01\x02showHiddenFiles=true\n==\n");
        QCOMPARE(names(), QList<QByteArray>{"plain"});
    }

    void virtualFileSystemsAreRecognised() {
        struct stat procStat;
        if (stat("/proc/self", &procStat) != 0) QSKIP("no /proc here");
        int fd = open("/proc", O_RDONLY | O_DIRECTORY);
        QVERIFY(fd >= 0);
        QVERIFY(isVirtualFileSystem(fd, procStat.st_dev, VirtualDevices::fromMountTable()));
        QVERIFY(isVirtualFileSystem(fd, procStat.st_dev, VirtualDevices()));  // by statfs alone
        close(fd);
        TempTree tree;
        struct stat treeStat;
        QCOMPARE(stat(tree.path().constData(), &treeStat), 0);
        fd = open(tree.path().constData(), O_RDONLY | O_DIRECTORY);
        QVERIFY(!isVirtualFileSystem(fd, treeStat.st_dev, VirtualDevices::fromMountTable()));
        close(fd);
    }

private:
    static QString settingsFile() {
        return QSettings(QStringLiteral("Tarnwick"), QStringLiteral("Tarnwick")).fileName();
    }
    static void writeSettings(const QByteArray& content) {
        QFile file(settingsFile());
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(content);
    }
};

// Permissions bind only an unprivileged user: CTest runs this class as one.
class UnprivilegedListingTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() {
        if (geteuid() == 0) QSKIP("needs an unprivileged user; CTest runs it as one");
    }

    void unreadableFoldersAreSkippedAndTheWalkGoesOn() {
        TempTree tree;
        tree.write("a/locked/secret.txt");
        tree.write("a/later.txt");
        tree.write("b/after.txt");
        tree.write("a/unreadable-file.txt", "x");
        QCOMPARE(chmod(tree.pathOf("a/locked").constData(), 0), 0);
        QCOMPARE(chmod(tree.pathOf("a/unreadable-file.txt").constData(), 0), 0);
        QList<QByteArray> paths = relativePaths(list(tree.path()));
        std::sort(paths.begin(), paths.end());
        QCOMPARE(paths, (QList<QByteArray>{"a", "a/later.txt", "a/locked", "a/unreadable-file.txt",
                                           "b", "b/after.txt"}));
    }

    void unreadableRootGivesAnEmptyList() {
        TempTree tree;
        tree.write("inside.txt");
        QCOMPARE(chmod(tree.path().constData(), 0300), 0);
        QVERIFY(list(tree.path()).isEmpty());
    }
};

TARNWICK_TEST(ListingTest)
TARNWICK_TEST(UnprivilegedListingTest)
#include "ListingTest.moc"
