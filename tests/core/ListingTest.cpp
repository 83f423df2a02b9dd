#include "core/DirectoryListing.h"
#include "core/FileUri.h"
#include "core/Preferences.h"
#include "core/SearchScope.h"
#include "core/VirtualFileSystems.h"
#include "tests/support/TempTree.h"
#include "tests/support/TestRunner.h"

#include <QDir>
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

QByteArrayList listed(const QByteArray& folder, bool hidden = false, int threads = 0,
                      const std::atomic<bool>* cancelled = nullptr, bool sorted = true) {
    QByteArrayList paths;
    for (const FileItem& item : listDirectory(folder, {hidden, cancelled, threads}))
        paths.append(item.nativeRelativePath());
    if (sorted) std::sort(paths.begin(), paths.end());
    return paths;
}

// The order the listing promises, walked the plainest way: recursion over readdir.
void referenceWalk(const QByteArray& folder, const QByteArray& relative, QByteArrayList& out) {
    DIR* dir = opendir(folder.constData());
    while (dirent* e = dir ? readdir(dir) : nullptr) {
        const QByteArray name(e->d_name), rel = relative.isEmpty() ? name : relative + '/' + name;
        struct stat st;
        if (name.startsWith('.') || lstat(folder + '/' + name, &st) != 0) continue;
        out.append(rel);
        if (S_ISDIR(st.st_mode)) referenceWalk(folder + '/' + name, rel, out);
    }
    if (dir) closedir(dir);
}

}  // namespace

// One tree with every kind of entry, listed from several places, and a random one of 400 folders
// with up to five files each; and the paths the items are made of.
class ListingTest : public QObject {
    Q_OBJECT
    TempTree m_tree, m_random;
    QByteArrayList m_walk;  // the random tree's, by the reference
    const QByteArrayList m_odd{"bad\xff\xfe name", QByteArray(251, 'n'), "line\nbreak", "A", "a"};

private Q_SLOTS:
    void initTestCase() {
        for (const QByteArray& name : m_odd) m_tree.write("odd/" + name, name);
        for (const char* name : {".git/HEAD", ".env", "secret", "Private/in", "real/a"})
            m_tree.write(name);
        m_tree.write(".hidden", QByteArray(1'000'000, '\n') + "secret\nPrivate\n\nmissing");
        m_tree.write("old.txt", "12345678");
        m_tree.touch("old.txt", 1'000'000'000);
        m_tree.mkdir("links");
        for (auto [name, target] : {std::pair{"links/dir", "../odd"},
                                    {"links/up", ".."},
                                    {"links/root", "/"},
                                    {"alias", "real"}})
            m_tree.symlink(target, name);
        std::mt19937 random(7);
        QByteArrayList dirs{""};
        for (int i = 0; i < 400; ++i) {
            const QByteArray& parent = dirs[qsizetype(random() % dirs.size())];
            dirs.append((parent.isEmpty() ? "" : parent + '/') + "d" + QByteArray::number(i));
            m_random.mkdir(dirs.last());
            for (unsigned f = random() % 6; f > 0; --f)
                m_random.write(dirs.last() + "/f" + QByteArray::number(f), "x");
        }
        referenceWalk(m_random.path(), {}, m_walk);
    }

    void whatIsListed_data() {
        QTest::addColumn<QByteArray>("folder");
        QTest::addColumn<bool>("hidden");
        QTest::addColumn<QByteArrayList>("expected");
        QByteArrayList shown{"alias", "links",   "links/dir", "links/root", "links/up",
                             "odd",   "old.txt", "real",      "real/a"};
        for (const QByteArray& name : m_odd) shown.append("odd/" + name);
        QByteArrayList all = shown + QByteArrayList{".env",    ".git",       ".git/HEAD", ".hidden",
                                                    "Private", "Private/in", "secret"};
        std::sort(shown.begin(), shown.end());
        std::sort(all.begin(), all.end());
        QTest::newRow("links as themselves, no hidden") << m_tree.path() << false << shown;
        QTest::newRow("hidden on request") << m_tree.path() << true << all;
        QTest::newRow("a root reached by a link")
            << m_tree.pathOf("alias") << false << QByteArrayList{"a"};
        for (const char* none : {"none", "old.txt", ""})
            QTest::newRow(none) << (*none ? m_tree.pathOf(none) : "") << true << QByteArrayList();
    }
    void whatIsListed() {
        QFETCH(QByteArray, folder);
        QFETCH(bool, hidden);
        QFETCH(QByteArrayList, expected);
        QCOMPARE(listed(folder, hidden), expected);
    }

    void entriesKeepTheirAttributesAndBytes() {
        for (const FileItem& item : listDirectory(m_tree.path(), ListingOptions{})) {
            const QByteArrayView name = item.nativeName();
            QCOMPARE(item.isDirectory(), name == "odd" || name == "links" || name == "real");
            if (item.isDirectory()) QCOMPARE(item.fileSize(), 0);
            if (name == "old.txt")
                QCOMPARE(QPair(item.modifiedMsecs(), item.fileSize()),
                         QPair(1'000'000'000'000LL, 8LL));
            if (item.nativeRelativeDirectory() != "odd") continue;
            QFile file;  // odd names reach their own file
            QVERIFY(file.open(::open(item.path(), O_RDONLY), QIODevice::ReadOnly,
                              QFile::AutoCloseHandle));
            QCOMPARE(file.readAll(), name.toByteArray());
        }
    }

    void orderIsTheDepthFirstWalkWhateverTheThreads() {
        for (int threads : {1, 2, 3, 8})
            QCOMPARE(listed(m_random.path(), false, threads, nullptr, false), m_walk);
    }

    // Cancelled before or while it runs: never a partial list.
    void aCancelledListingIsEmpty() {
        for (int delayUs : {-1, 0, 200, 1000, 5000}) {
            std::atomic<bool> cancelled = delayUs < 0;
            std::thread canceller([&] {
                std::this_thread::sleep_for(std::chrono::microseconds(delayUs));
                cancelled = true;
            });
            const qsizetype got = listed(m_random.path(), false, 0, &cancelled).size();
            canceller.join();
            QVERIFY2(got == 0 || (got == m_walk.size() && delayUs >= 0),
                     qPrintable(QString::number(got)));
        }
    }

    void foldersDeletedDuringTheWalkAreLeftOut() {
        std::thread remover(
            [&] { QDir(QString::fromUtf8(m_random.pathOf("d0"))).removeRecursively(); });
        const QByteArrayList during = listed(m_random.path(), false, 2);
        remover.join();
        for (const QByteArray& path : during) QVERIFY(m_walk.contains(path));
    }

    void virtualFileSystemsAreRecognised() {
        struct stat proc, temp;
        if (stat("/proc/self", &proc) != 0) QSKIP("no /proc here");
        QCOMPARE(stat(m_tree.path().constData(), &temp), 0);
        const int procFd = open("/proc", O_RDONLY | O_DIRECTORY),
                  tempFd = open(m_tree.path(), O_RDONLY);
        QVERIFY(isVirtualFileSystem(procFd, proc.st_dev, VirtualDevices::fromMountTable()));
        QVERIFY(isVirtualFileSystem(procFd, proc.st_dev, VirtualDevices()));  // by statfs alone
        QVERIFY(!isVirtualFileSystem(tempFd, temp.st_dev, VirtualDevices::fromMountTable()));
        close(procFd);
        close(tempFd);
    }

    void theScopeIsAStackOfFolders() {
        SearchScope scope("/home/u/A/"), root("/");
        scope.push("/home/u/A/b");
        scope.push("/home/u/A/b/c/");
        root.push("/usr/share");
        QCOMPARE(scope.stack(), (QByteArrayList{"/home/u/A", "/home/u/A/b"}));
        QCOMPARE(scope.displayPath() + u' ' + root.displayPath(), "A/b/c /usr/share");
        QVERIFY(scope.pop() && scope.pop() && !scope.pop());
        QCOMPARE(scope.currentDirectory() + ' ' + scope.displayPath().toUtf8(), "/home/u/A A");
    }

    // Every path is split into the searched folder, a relative folder and a name, and put
    // together again byte for byte.
    void itemsKeepEveryByteOfTheirPath() {
        const QByteArray odd(
            "/d/a\xff"
            "b c%d#e\n");
        for (auto [path, searched, relative] : {std::tuple{"/A/x", "/A", ""},
                                                {"/A/b/c/y", "/A", "b/c"},
                                                {"/U/a/b", "/", "U/a"},
                                                {"/b", "/", ""},
                                                {odd.constData(), "/", "d"}}) {
            const FileItem item = FileItem::fromPath(path, searched, false, 12, 1000);
            QCOMPARE(item.path(), QByteArray(path));
            QCOMPARE(item.nativeRelativeDirectory().toByteArray(), QByteArray(relative));
            QCOMPARE(item.nativeRelativePath(), relativePath(searched, path));
            QCOMPARE(item.name(), QString::fromUtf8(lastPathComponent(path)));  // shown lossily
            QCOMPARE(pathFromFileUri(item.url().toLatin1()), QByteArray(path));
            QCOMPARE(item.modified()->toMSecsSinceEpoch(), 1000);
            QVERIFY(item.hasPath(path) && !item.hasPath(QByteArray(path) + "x") &&
                    !item.hasPath(path + 1));
            for (qsizetype i = 0; i < QByteArrayView(path).size(); ++i) {
                QByteArray other = path;  // the '/' counts as much as any other byte
                other[i] = other[i] == '/' ? 'x' : '/';
                QVERIFY(!item.hasPath(other));
            }
        }
        QCOMPARE(FileItem::fromPath(odd, "/d", false, 0).url(), "file:///d/a%FFb%20c%25d%23e%0A");
        QVERIFY(!FileItem::fromPath(odd, "/d", false, 0).modified());
        QCOMPARE(pathFromFileUri("file://localhost/x"), QByteArray("/x"));
        QVERIFY(!pathFromFileUri("http://example.org/x") && !pathFromFileUri("file://otherhost/x"));
    }
};

// The stored preferences, read from the settings file as the user (or anything) left it.
class PreferencesTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void theSettingDecidesHiddenFiles() {
        QStandardPaths::setTestModeEnabled(true);
        QFile settings(
            QSettings(QStringLiteral("Tarnwick"), QStringLiteral("Tarnwick")).fileName());
        TempTree tree;
        tree.write(".dotfile");
        tree.write("plain");
        auto shown = [&] { return listDirectory(tree.path(), nullptr).size(); };
        QCOMPARE(shown(), 1);
        Preferences::setShowHiddenFiles(true);
        QCOMPARE(shown(), 2);
        QVERIFY(settings.open(QIODevice::WriteOnly | QIODevice::Truncate));
        settings.write("[General\n\x01\x02showHiddenFiles=true\n==\n");
        settings.close();
        QCOMPARE(shown(), 1);
        settings.remove();
    }

    void storedValuesOfTheWrongKindReadAsAbsent() {
        const qint64 low = std::numeric_limits<qint32>::min(),
                     high = std::numeric_limits<quint32>::max();
        for (QVariant fits : {QVariant(49), QVariant(low), QVariant(high), QVariant(" 4608 ")})
            QCOMPARE(int32FromStored(fits).value_or(-1), fits.toString().trimmed().toLongLong());
        for (QVariant wrong :
             {QVariant(low - 1), QVariant(high + 1), QVariant("x"), QVariant(true)})
            QVERIFY(!int32FromStored(wrong));
        const std::pair<QVariant, int> bools[] = {
            {" False ", 0}, {"TRUE", 1}, {true, 1}, {1, -1}, {"yes", -1}};
        for (const auto& [stored, expected] : bools)
            QCOMPARE(boolFromStored(stored) ? int(*boolFromStored(stored)) : -1, expected);
    }
};

// Permissions bind only an unprivileged user: CTest runs this class as one.
class UnprivilegedListingTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void unreadableFoldersAreSkippedAndTheWalkGoesOn() {
        if (geteuid() == 0) QSKIP("needs an unprivileged user; CTest runs it as one");
        TempTree tree;
        for (const char* name : {"a/locked/secret", "a/later", "b/after", "a/unreadable"})
            tree.write(name);
        QCOMPARE(chmod(tree.pathOf("a/locked"), 0) + chmod(tree.pathOf("a/unreadable"), 0), 0);
        QCOMPARE(listed(tree.path()),
                 (QByteArrayList{"a", "a/later", "a/locked", "a/unreadable", "b", "b/after"}));
        QCOMPARE(chmod(tree.path(), 0300), 0);
        QVERIFY(listed(tree.path()).isEmpty());
        QCOMPARE(chmod(tree.path(), 0700), 0);
    }
};

TARNWICK_TEST(ListingTest)
TARNWICK_TEST(PreferencesTest)
TARNWICK_TEST(UnprivilegedListingTest)
#include "ListingTest.moc"

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    return tarnwick::test::runRegisteredTests(argc, argv);
}
