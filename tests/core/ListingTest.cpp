#include "core/DirectoryListing.h"
#include "core/FileUri.h"
#include "core/Graphemes.h"
#include "core/MatchScore.h"
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
#include <unicode/ubrk.h>
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

// The promised order, walked the plainest way: recursion over readdir.
void referenceWalk(const QByteArray& folder, const QByteArray& relative, QByteArrayList& out) {
    DIR* dir = opendir(folder.constData());
    struct stat st;
    while (dirent* e = readdir(dir)) {
        const QByteArray name(e->d_name), path = folder + '/' + name;
        if (name.startsWith('.') || lstat(path, &st) != 0) continue;
        out.append(relative.isEmpty() ? name : relative + '/' + name);
        if (S_ISDIR(st.st_mode)) referenceWalk(path, QByteArray(out.last()), out);
    }
    closedir(dir);
}

// User-perceived characters as ICU's own iterator finds them.
QStringList referenceCharacters(const QString& text) {
    QStringList out;
    UErrorCode status = U_ZERO_ERROR;
    UBreakIterator* it = ubrk_open(UBRK_CHARACTER, "", reinterpret_cast<const UChar*>(text.utf16()),
                                   int32_t(text.size()), &status);
    for (int32_t start = 0, end = ubrk_next(it); end != UBRK_DONE; start = end, end = ubrk_next(it))
        out.append(text.mid(start, end - start));
    ubrk_close(it);
    return out;
}

// The rules written as plainly as possible, to check the fast paths against.
std::optional<qint64> referenceScore(const QString& query, const QString& text) {
    if (query.isEmpty()) return 0;
    auto fold = [](const QString& s) {
        return referenceCharacters(s.toLower().normalized(QString::NormalizationForm_C));
    };
    const QStringList q = fold(query), t = fold(text);
    for (qsizetype start = 0; start + q.size() <= t.size(); ++start)
        if (t.mid(start, q.size()) == q) return start == 0 ? kScoreAtStart : kScoreElsewhere;
    qsizetype matched = 0;
    qint64 run = 0, score = 0;
    for (qsizetype i = 0; i < t.size() && matched < q.size(); ++i) {
        run = t[i] == q[matched] ? run + 1 : 0;
        if (run) ++matched, score += kRunBonus * run;
    }
    return matched == q.size() ? std::optional<qint64>(score) : std::nullopt;
}

// Pieces that stress folding and segmentation; the first twelve are ASCII.
const QStringList kPieces =
    QString::fromUtf8(
        "a|B|r|E|p|o|.| |-|1|_|/|é|e\u0301|É|ß|İ|i\u0307|ñ|n\u0303|日本|東京|👍|"
        "👍🏽|👨\u200d👩\u200d👧|🇫🇷|Ω|\u2126|K|\u212a|\r\n|\u0301|\u0600|한|"
        "\u1100|\u1161|\u0e01|\u0e33|\u0e35|\u200d|\U0001D400")
        .split(u'|');

QString randomText(std::mt19937& random, int maxPieces, bool asciiOnly) {
    QString text;
    for (int i = int(random() % unsigned(maxPieces + 1)); i > 0; --i)
        text += kPieces[qsizetype(random() % (asciiOnly ? 12 : kPieces.size()))];
    return text;
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

    void whatIsListed() {
        QByteArrayList shown{"alias", "links",   "links/dir", "links/root", "links/up",
                             "odd",   "old.txt", "real",      "real/a"};
        for (const QByteArray& name : m_odd) shown.append("odd/" + name);
        QByteArrayList all = shown + QByteArrayList{".env",    ".git",       ".git/HEAD", ".hidden",
                                                    "Private", "Private/in", "secret"};
        std::sort(shown.begin(), shown.end());
        std::sort(all.begin(), all.end());
        QCOMPARE(listed(m_tree.path()), shown);  // links as themselves, no hidden
        QCOMPARE(listed(m_tree.path(), true), all);
        QCOMPARE(listed(m_tree.pathOf("alias")), QByteArrayList{"a"});  // a root reached by a link
        for (const char* none : {"none", "old.txt", ""})
            QCOMPARE(listed(*none ? m_tree.pathOf(none) : "", true), QByteArrayList());
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

    // The depth-first order whatever the threads; cancelled before or while it runs, never a
    // partial list; folders deleted during the walk left out.
    void walks() {
        for (int threads : {1, 2, 3, 8})
            QCOMPARE(listed(m_random.path(), false, threads, nullptr, false), m_walk);
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

    // Split into searched folder, relative folder and name, and put together byte for byte.
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

class MatchScoreTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // Through the fast paths (ASCII bytes, prepared queries, names as bytes) and the plain rules;
    // the last three are names random ones hardly make.
    void scoresOfTheRules() {
        const std::tuple<const char*, const char*, qint64> rows[] = {
            // -1: no match
            {"rep", "Report.pdf", kScoreAtStart},
            {"port", "Report.pdf", kScoreElsewhere},
            {"rpt", "Report.pdf", kRunBonus * (1 + 1 + 1)},
            {"repd", "report.pdf", kRunBonus * (1 + 2 + 3 + 1)},
            {"ba", "ab", -1},
            {"q1 rep", "Q1 Report.pdf", kScoreAtStart},  // blanks are characters
            {"report q1", "Q1 Report.pdf", -1},          // words are not split
            {"", "anything", 0},
            {"café", "Cafe\u0301.txt", kScoreAtStart},
            {"e", "caf\u00e9", -1},   // a base letter is not its accented form
            {"e", "cafe\u0301", -1},  // half a character is no match
            {"i\u0307s", "İSTANBUL", kScoreAtStart},
            {"a👍b", "xa👍yb", kRunBonus * (1 + 2 + 1)},
            {"👍", "\u0e01👍", kScoreElsewhere},      // Thai does not split emoji
            {"\uFFFD", "a\x80z", kScoreElsewhere},  // not UTF-8
            {"👍x", "a👍bx", kRunBonus * 2},          // surrogates first
            {"กx", "กyx", kRunBonus * 2}};          // the lowest three-byte lead
        for (auto [query, name, expected] : rows) {
            const FileItem item =
                FileItem::fromPath("/root/" + QByteArray(name), "/root", false, 0);
            const PreparedQuery prepared(QString::fromUtf8(query));
            QVERIFY2(matchScore(QString::fromUtf8(query), QString::fromUtf8(name)).value_or(-1) ==
                             expected &&
                         Matcher(prepared).scoreName(item).value_or(-1) == expected,
                     query);
        }
    }

    // The fast paths give the plain rules' answer on every kind of name: mostly ASCII, which takes
    // the byte-wise path, and the rest anything.
    void fastPathsAgreeWithTheRules() {
        std::mt19937 random(20261206);
        for (int round = 0; round < 20000; ++round) {
            const bool ascii = round % 4 != 0;
            const QString query = randomText(random, 3, ascii && round % 8 != 1);
            const QString dir = randomText(random, 6, ascii).remove(u'/');
            // Every fiftieth name too long for its fold to be kept beside it: folded on the spot.
            const QString name = randomText(random, 8, ascii).remove(u'/') +
                                 QString(round % 50 ? 0 : 100, QChar(0x130));
            if (name.isEmpty() || name == u".") continue;
            const QByteArray path =
                "/root/" + (dir.isEmpty() ? QByteArray() : dir.toUtf8() + '/') + name.toUtf8();
            const FileItem item = FileItem::fromPath(path, "/root", false, 0);
            const PreparedQuery prepared(query);
            Matcher matcher(prepared);
            const QString context = QStringLiteral("query '%1' path '%2/%3'").arg(query, dir, name);
            QVERIFY2(matcher.scoreName(item) == referenceScore(query, name), qPrintable(context));
            // Nothing between the searched folder and the name: no path to match.
            QVERIFY2(matcher.scorePath(item) ==
                         (dir.isEmpty() ? std::nullopt : referenceScore(query, dir + u'/' + name)),
                     qPrintable(context));
        }
    }

    // Walks over user-perceived characters stop at their edges, and at the ends of the text.
    void graphemeWalks() {
        // Qt 6.4's own boundary finder splits the emoji here once Thai is present.
        QCOMPARE(graphemeEnds(QStringLiteral("ก👍e\u0301")), (std::vector<qsizetype>{1, 3, 5}));
        QCOMPARE(graphemeCount(QStringLiteral("กี👍ก")), 3);
        const QString text = QStringLiteral("ก👍e\u0301"),
                      inside = QStringLiteral("xe\u0301\u0302y");
        // text, from, count, forward: where the walk stops and how many characters it passed
        const std::tuple<QString, int, int, bool, int, int> walks[] = {
            {text, 5, 2, false, 1, 2},   {text, 5, 9, false, 0, 3},  {text, 0, 2, true, 3, 2},
            {text, 1, 9, true, 5, 2},    {text, 5, 3, true, 5, 0},   {inside, 3, 1, false, 1, 1},
            {inside, 3, 2, false, 0, 2}, {inside, 2, 1, true, 4, 1}, {inside, 2, 2, true, 5, 2},
            {text, 0, 3, false, 0, 0},   {text, 3, 0, true, 3, 0}};
        for (auto [s, from, count, forward, to, passed] : walks) {
            const GraphemeWalk walk =
                forward ? graphemesForward(s, from, count) : graphemesBack(s, from, count);
            QCOMPARE(QPair(walk.position, walk.passed), QPair(qsizetype(to), passed));
        }
    }
};

TARNWICK_TEST(ListingTest)
TARNWICK_TEST(PreferencesTest)
TARNWICK_TEST(UnprivilegedListingTest)
TARNWICK_TEST(MatchScoreTest)
#include "ListingTest.moc"

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    return tarnwick::test::runRegisteredTests(argc, argv);
}
