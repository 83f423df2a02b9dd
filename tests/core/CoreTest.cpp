#include "core/CountLabel.h"
#include "core/DirectoryListing.h"
#include "core/ExtensionKey.h"
#include "core/ExtensionPills.h"
#include "core/FileUri.h"
#include "core/FilterRun.h"
#include "core/Graphemes.h"
#include "core/ItemAttributes.h"
#include "core/KeptListings.h"
#include "core/MatchScore.h"
#include "core/NameCollation.h"
#include "core/NameOrder.h"
#include "core/NameRankMerge.h"
#include "core/Preferences.h"
#include "core/SearchScope.h"
#include "core/SearchSession.h"
#include "core/TextFolding.h"
#include "core/VirtualFileSystems.h"
#include "core/WorkQueue.h"
#include "tests/support/ReferenceScore.h"
#include "tests/support/TempTree.h"
#include "tests/support/TestRunner.h"

#include <QDir>
#include <QLocale>
#include <QRegularExpression>
#include <QSemaphore>
#include <QSettings>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QtTest>

#include <deque>
#include <mutex>
#include <random>
#include <set>
#include <thread>

#include <dirent.h>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace tarnwick;
using tarnwick::test::referenceScore;
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

// Items below /s, '|'-separated: "a/b.txt" a file, "dir/" a folder, "=size" (else 1), "@msecs".
QList<FileItem> items(const QString& spec) {
    static const QRegularExpression entry(QStringLiteral("^(.*?)(/?)(?:=(\\d+))?(?:@(\\d+))?$"));
    QList<FileItem> out;
    for (const QString& text : spec.split(u'|', Qt::SkipEmptyParts)) {
        const QRegularExpressionMatch m = entry.match(text);
        out.append(
            FileItem::fromPath("/s/" + m.captured(1).toUtf8(), "/s", !m.captured(2).isEmpty(),
                               m.hasCaptured(3) ? m.captured(3).toLongLong() : 1,
                               m.hasCaptured(4) ? m.captured(4).toLongLong() : FileItem::kNoDate));
    }
    return out;
}

// Of a list or of a run's results.
template <typename Rows>
QString names(const Rows& list) {
    QStringList out;
    for (const FileItem& item : list) out.append(QString::fromUtf8(item.nativeRelativePath()));
    return out.join(u'|');
}

// Either engine, scripted by the test; the session owns it, the harness marks it stopped.
struct ScriptedEngine : ContentHitEngine, FullSearchEngine {
    explicit ScriptedEngine(std::deque<bool>& s) : stopped(&s.emplace_back(false)) {}
    bool* stopped;  // outlives the engine
    QStringList searches;
    int countsStarted = 0;
    void search(const QString& text) override { searches.append(text); }
    void stop() override { *stopped = true; }
    void startCount() override { ++countsStarted; }
};

// A session over a scripted folder, engines and snippet extraction, with short timers.
struct Harness : SearchEngineFactory {
    std::vector<ScriptedEngine*> content, full;  // full: mode detectors and index-only engines
    std::deque<bool> contentStopped, fullStopped;
    QList<FileItem> folder;
    std::shared_ptr<QSemaphore> gate = std::make_shared<QSemaphore>();  // lets extractions end
    std::shared_ptr<std::atomic<int>> extracted = std::make_shared<std::atomic<int>>(0);
    std::unique_ptr<SearchSession> session;

    explicit Harness(const QString& spec, int timeoutMs = 400, bool withEngines = true)
        : folder(items(spec)) {
        SearchSession::Dependencies deps;
        if (withEngines)
            deps.engines = std::shared_ptr<SearchEngineFactory>(std::shared_ptr<void>(), this);
        deps.lister = [this](const QByteArray&, const ListingOptions&) { return folder; };
        deps.snippet = [gate = gate, n = extracted](const QByteArray& path, const QString& query) {
            ++*n;
            gate->acquire();
            return std::optional(QString::fromUtf8(path) + u':' + query);
        };
        deps.detectionTimeoutMs = timeoutMs;
        session = std::make_unique<SearchSession>("/s", deps);
        session->startSearch();
    }
    ~Harness() { gate->release(100); }
    std::unique_ptr<ContentHitEngine> createContentEngine(const QByteArray&) override {
        return std::unique_ptr<ContentHitEngine>(
            content.emplace_back(new ScriptedEngine(contentStopped)));
    }
    std::unique_ptr<FullSearchEngine> createFullEngine(const QByteArray&) override {
        return std::unique_ptr<FullSearchEngine>(
            full.emplace_back(new ScriptedEngine(fullStopped)));
    }
    // What the panel would draw: the rows, the count label and the pills that are on.
    QString drawn() const {
        QString on;
        for (const PillState& pill : session->pills()) on += pill.on ? u'1' : u'0';
        return names(session->filteredItems()) + u'/' + session->countText() + u'/' + on;
    }
};

// Plays ';'-separated steps: actions (type sort select tap remove enter back close), the mode
// detector's counts (count final), engine answers (hits index), and checks: "= ROWS/LABEL/PILLS"
// waits for that drawing; row, dir, "back none", silent, snippet NAME TEXT ("-": none); extract
// lets one extraction end, then ready ROW or quiet; extracted N; searched; stopped [all].
void play(Harness& h, const QString& script) {
    QSignalSpy published(h.session.get(), &SearchSession::resultsReplaced);
    QSignalSpy ready(h.session.get(), &SearchSession::snippetReady);
    for (const QString& step : script.split(u';')) {
        const QString verb = step.trimmed().section(u' ', 0, 0),
                      arg = step.trimmed().section(u' ', 1);
        const QByteArray path = "/s/" + arg.section(u' ', 0, 0).toUtf8();
        QSet<QByteArray> hits;
        for (const QString& name : arg.split(u' ')) hits.insert("/s/" + name.toUtf8());
        if (verb == u"type") h.session->queryChanged(arg);
        if (verb == u"sort") h.session->sortChanged(SortMode::size);
        if (verb == u"select") h.session->selectionChanged(arg.toInt());
        if (verb == u"tap") h.session->pillTapped(arg.toInt());
        if (verb == u"remove") h.session->removeItems({path});
        if (verb == u"enter") h.session->enterFolder(path);
        if (verb == u"back") QCOMPARE(h.session->goBack(), arg != u"none");
        if (verb == u"close") h.session->close();
        if (verb == u"count") h.full.front()->onCountReady(arg.toLongLong());
        if (verb == u"final") h.full.front()->onFinishedGathering(arg.toLongLong());
        if (verb == u"hits") h.content.back()->ContentHitEngine::onResults(hits);
        if (verb == u"index") h.full.back()->FullSearchEngine::onResults(items(arg));
        if (verb == u"=") QTRY_COMPARE_WITH_TIMEOUT(h.drawn(), arg, 20000);
        if (verb == u"row") QCOMPARE(published.last().first().toInt(), arg.toInt());
        if (verb == u"dir") QCOMPARE(h.session->directoryText(), "  " + arg);
        if (verb == u"silent") QVERIFY(!published.wait(300));
        if (verb == u"snippet")
            QCOMPARE(h.session->requestSnippet(items(arg.section(u' ', 0, 0))[0]).value_or("-"),
                     arg.section(u' ', 1));
        if (verb == u"extract") h.gate->release();
        if (verb == u"ready") QVERIFY(ready.wait(20000) && ready.last().first() == arg.toInt());
        if (verb == u"quiet") QVERIFY(!ready.wait(300));
        if (verb == u"extracted") QCOMPARE(h.extracted->load(), arg.toInt());
        if (verb == u"searched") QCOMPARE(h.full.back()->searches.join(u' '), arg);
        QVERIFY(verb != u"stopped" || !std::ranges::count(h.fullStopped, false));
        QVERIFY(arg != u"all" || !std::ranges::count(h.contentStopped, false));
    }
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
        for (const char* link : {"links/dir>../odd", "links/up>..", "links/root>/", "alias>real"})
            m_tree.symlink(QByteArray(link).split('>')[1], QByteArray(link).split('>')[0]);
        std::mt19937 random(7);
        QByteArrayList dirs{""};
        for (int i = 0; i < 400; ++i) {
            const QByteArray& parent = dirs[qsizetype(random() % dirs.size())];
            dirs.append((parent.isEmpty() ? "" : parent + '/') + "d" + QByteArray::number(i));
            m_random.mkdir(dirs.last());
            for (unsigned f = random() % 6; f > 0; --f)
                m_random.write(dirs.last() + "/f" + QByteArray::number(f), "x");
        }
        // A folder that takes several reads, the last ending anywhere in the buffer.
        for (int i = 0; i < 3000; ++i)
            m_random.write("many/" + QByteArray::number(i) + QByteArray(random() % 60, 'm'));
        referenceWalk(m_random.path(), {}, m_walk);
    }

    void whatIsListed() {
        QByteArrayList shown =
            QByteArray("alias links links/dir links/root links/up odd old.txt real real/a")
                .split(' ');
        for (const QByteArray& name : m_odd) shown.append("odd/" + name);
        QByteArrayList all =
            shown + QByteArray(".env .git .git/HEAD .hidden Private Private/in secret").split(' ');
        std::sort(shown.begin(), shown.end());
        std::sort(all.begin(), all.end());
        QCOMPARE(listed(m_tree.path()), shown);  // links as themselves, no hidden
        QCOMPARE(listed(m_tree.path(), true), all);
        QCOMPARE(listed(m_tree.pathOf("alias")), QByteArrayList{"a"});  // a root reached by a link
        for (const char* none : {"none", "old.txt", ""})
            QCOMPARE(listed(*none ? m_tree.pathOf(none) : "", true), QByteArrayList());
        // Kinds come from the walk; sizes and dates only when read, and then as lstat gives them.
        QList<FileItem> items = listDirectory(m_tree.path(), ListingOptions{});
        QVERIFY(std::ranges::none_of(items, &FileItem::hasAttributes));
        m_tree.write("gone");
        QList<FileItem> gone = listDirectory(m_tree.path(), ListingOptions{});
        QCOMPARE(unlink(m_tree.pathOf("gone")), 0);
        readAttributes(items);
        readAttributes(gone);
        for (const FileItem& item : gone)  // vanished before its stat: no size, no date
            if (item.nativeName() == "gone")
                QVERIFY(item.hasAttributes() && !item.hasSize() && item.fileSize() == 0 &&
                        !item.hasModified());
        for (const FileItem& item : items) {
            const QByteArrayView name = item.nativeName();
            QCOMPARE(item.isDirectory(), name == "odd" || name == "links" || name == "real");
            QVERIFY(item.hasModified() && item.hasSize() != item.isDirectory());
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
        struct stat proc, temp;  // virtual file systems are recognised
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

    // The nearest kept folder above serves one below; over the budget the least recently used
    // go first, never one a panel holds; a listing replaces those below it.
    void keptListingsStayWithinTheirBudget() {
        TempTree tree;
        for (const char* name : {"a/x", "b/y", "c/z"}) tree.write(name);
        auto keep = [&](const QByteArray& folder) {
            const QByteArray path = folder.isEmpty() ? tree.path() : tree.pathOf(folder);
            std::vector<KeptFolder> folders;
            ListingOptions options;
            options.folders = &folders;
            return keepListing(path, false, makeListing(listDirectory(path, options)), {},
                               std::move(folders));
        };
        KeptListingPtr a = keep("a");
        KeptListings store(a->footprint * 5 / 2);
        store.keep(std::move(a));
        store.keep(keep("b"));
        QCOMPARE(store.find(tree.pathOf("a/x"), false)->root, tree.pathOf("a"));
        QVERIFY(!store.find(tree.pathOf("a"), true) && !store.find(tree.pathOf("ab"), false));
        store.keep(keep("c"));  // b, the least recently used, goes
        QVERIFY(!store.find(tree.pathOf("b"), false) && store.count() == 2);
        const KeptListingPtr shown = store.find(tree.pathOf("a"), false);
        store.keep(keep("b"));  // c goes, then b would, but a is shown
        store.keep(keep("c"));
        QVERIFY(store.find(tree.pathOf("a"), false) == shown && store.count() == 2);
        const KeptListingPtr whole = keep("");  // over the budget alone, but shown
        store.keep(whole);
        QCOMPARE(store.count(), 1);
        QCOMPARE(store.find(tree.pathOf("c/z"), false)->root, tree.path());
    }

    void theScopeAndItemsKeepEveryByteOfTheirPath() {
        SearchScope scope("/home/u/A/"), root("/");
        scope.push("/home/u/A/b");
        scope.push("/home/u/A/b/c/");
        root.push("/usr/share");
        QCOMPARE(scope.stack(), (QByteArrayList{"/home/u/A", "/home/u/A/b"}));
        QCOMPARE(scope.displayPath() + u' ' + root.displayPath(), "A/b/c /usr/share");
        QVERIFY(scope.pop() && scope.pop() && !scope.pop());
        QCOMPARE(scope.currentDirectory() + ' ' + scope.displayPath().toUtf8(), "/home/u/A A");
        const char* odd = "/d/a\377b c%d#e\n";  // split and put together byte for byte
        const char* rows[][3] = {{"/A/x", "/A", ""},
                                 {"/A/b/c/y", "/A", "b/c"},
                                 {"/U/a/b", "/", "U/a"},
                                 {"/b", "/", ""},
                                 {odd, "/", "d"}};
        for (auto [path, searched, relative] : rows) {
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

    // The stored preferences, read from the settings file as the user (or anything) left it; last,
    // as it puts the settings in test mode. Values of the wrong kind read as absent.
    void preferences() {
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
        QStandardPaths::setTestModeEnabled(true);
        QFile settings(
            QSettings(QStringLiteral("Tarnwick"), QStringLiteral("Tarnwick")).fileName());
        TempTree tree;
        for (const char* name : {".dotfile", "plain"}) tree.write(name);
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

    // A tree kept after one panel and changed before the next: the revalidated listing is the
    // fresh one, entry by entry and in order, and folders left alone are taken over unread.
    void revalidationGivesTheFreshListing_data() {
        QTest::addColumn<QByteArray>("change");
        QTest::addColumn<QByteArray>("opened");  // below the kept folder
        for (const char* row :
             {"create:a/b/new.txt", "crowd:a/b/n*", "delete:a/b/f1", "rename across:a/f1>c/d/f1",
              "rename folder across:a/b>c/b2", "file to folder:c/f2>", "vanish:c",
              "hidden shown:", ".hidden edited:+a/.hidden", "permission lost:!a/b",
              "folder to symlink:c/d>", "same tick:a/b/new.txt", "below:a/b/new.txt", "nothing:"}) {
            const QByteArrayList parts = QByteArray(row).split(':');
            QTest::newRow(parts[0]) << parts[1] << QByteArray(parts[0] == "below" ? "a" : "");
        }
    }

    void revalidationGivesTheFreshListing() {
        QFETCH(QByteArray, change);
        QFETCH(QByteArray, opened);
        constexpr qint64 settle = 30'000'000;
        const bool sameTick = QByteArray(QTest::currentDataTag()) == "same tick",
                   hiddenShown = QByteArray(QTest::currentDataTag()) == "hidden shown";
        TempTree tree;
        for (const char* name : {"a/f1", "a/x", "a/b/f1", "a/b/f2", "c/f2", "c/d/g.txt", ".dot"})
            tree.write(name);
        tree.write("a/.hidden", "x\n");
        for (int i = 0; i < 20; ++i) tree.write("e/e" + QByteArray::number(i) + "/f");
        if (!sameTick) QTest::qWait(60);
        KeptListings store;
        std::vector<KeptFolder> firstFolders, freshFolders;
        ListingOptions stamping;
        stamping.settleNs = settle;
        stamping.folders = &firstFolders;
        const QList<FileItem> first = listDirectory(tree.path(), stamping);
        store.keep(keepListing(tree.path(), false, makeListing(first), countExtensions(first),
                               std::move(firstFolders)));
        if (!sameTick) QTest::qWait(60);
        const QByteArrayList sides = change.split('>');
        const QByteArray at =
            tree.pathOf(sides[0].mid(change.startsWith('+') || change.startsWith('!')));
        if (change.startsWith('+')) {
            QFile list(QString::fromUtf8(at));  // edited in place: the folder keeps its times
            QVERIFY(list.open(QIODevice::Append) && list.write("f1\n") == 3);
        } else if (change.startsWith('!')) {
            QCOMPARE(chmod(at, 0), 0);
        } else if (sides.size() == 2 &&
                   sides[1].isEmpty()) {  // a file to a folder, a folder to a link
            QVERIFY(unlink(at) == 0 || QDir(QString::fromUtf8(at)).removeRecursively());
            if (sides[0] == "c/d")
                tree.symlink("../a", "c/d");
            else
                tree.write(sides[0] + "/in");
        } else if (sides.size() == 2) {
            QCOMPARE(rename(at, tree.pathOf(sides[1])), 0);
        } else if (change == "c") {
            QVERIFY(QDir(QString::fromUtf8(at)).removeRecursively());
        } else if (change.endsWith('*')) {  // more new items than a re-open makes room for
            for (int i = 0; i < 300; ++i) tree.write(change.chopped(1) + QByteArray::number(i));
        } else if (change.startsWith("a/b/f")) {
            QCOMPARE(unlink(at), 0);
        } else if (!change.isEmpty()) {
            tree.write(change);
        }
        const QByteArray folder = opened.isEmpty() ? tree.path() : tree.pathOf(opened);
        const KeptListingPtr kept = store.find(folder, hiddenShown);
        QCOMPARE(!kept, hiddenShown);  // kept with hidden files hidden: listed afresh
        if (hiddenShown) return;
        const Revalidation result = revalidate(kept, folder, {false, nullptr, settle});
        stamping.folders = &freshFolders;
        const QList<FileItem> fresh = listDirectory(folder, stamping);
        // Folders edited within the settling time are read again, however quick the change.
        QVERIFY(result.kept && result.foldersKept >= (sameTick ? 0 : opened.isEmpty() ? 20 : 1));
        QCOMPARE(result.changed, !change.isEmpty());
        auto entry = [](const FileItem& item) {
            char fold[FileItem::kMaxFoldedLength];
            std::string folderFold;
            item.folder().foldRelativeDirectoryInto(folderFold);
            const NameSlot slot = item.nameSlot();
            return item.path() + '|' + item.nativeRelativePath() + '|' +
                   item.foldedName(fold).toByteArray() + '|' +
                   QByteArray::fromStdString(folderFold) + '|' + QByteArray::number(slot.offset) +
                   ',' + QByteArray::number(slot.foldedLength) + ',' +
                   QByteArray::number(slot.flags);
        };
        auto sameAsFresh = [&](const QList<FileItem>& got) {
            for (qsizetype i = 0; i < std::min(got.size(), fresh.size()); ++i)
                if (entry(got[i]) != entry(fresh[i]))
                    return entry(got[i]) + " at " + entry(fresh[i]);
            return got.size() == fresh.size() ? QByteArray() : QByteArray("sizes differ");
        };
        QCOMPARE(sameAsFresh(result.kept->listing->items), QByteArray());
        // Where each folder's entries and sub-folders lie, which the next revalidation walks by.
        auto shape = [](const KeptListing& kept) {
            QList<quint32> out;
            for (const KeptFolder& f : kept.folders) out << f.begin << f.end << f.foldersEnd;
            return out;
        };
        const ListingPtr freshListing = makeListing(fresh);
        QCOMPARE(shape(*result.kept),
                 shape(*keepListing(folder, false, freshListing, {}, freshFolders)));
        QVERIFY(result.kept->listing->nameRanks == freshListing->nameRanks);
        QVERIFY(*result.kept->listing->nameOrder == *freshListing->nameOrder);
        QCOMPARE(result.kept->pills, countPills(fresh, true));
        // What each folder's record holds, which the memory budget adds up from the folders,
        // and each folder's name, which the next revalidation makes its path from.
        auto foldersDescribed = [](const KeptListing& kept) {
            for (const KeptFolder& f : kept.folders) {
                if (f.recordBytes !=
                    (f.begin == f.end ? 0 : recordBytesOf(kept.listing->items[f.begin].folder())))
                    return QByteArray("record of ") + QByteArray::number(f.begin);
                const QByteArrayView name =
                    &f == &kept.folders[0] ? "" : kept.listing->items[f.begin - 1].nativeName();
                if (nameOf(kept, f) != name)
                    return nameOf(kept, f).toByteArray() + " for " + name.toByteArray();
            }
            return QByteArray();
        };
        QCOMPARE(foldersDescribed(*result.kept), QByteArray());
        // Once more from the revalidated listing, whose folders were copied to new places.
        const Revalidation again = revalidate(result.kept, folder, {false, nullptr, settle});
        QVERIFY(!again.changed);
        QCOMPARE(sameAsFresh(again.kept->listing->items), QByteArray());
        QCOMPARE(foldersDescribed(*again.kept), QByteArray());
        if (change.startsWith('!')) QCOMPARE(chmod(at, 0700), 0);
    }
};

// Background work (below the interface's priority, never waiting on a queue it runs on), match
// scores, and filter runs: matching, content hits, pills and the order the list shows.
class FilterTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // First, so that a background thread makes the helpers: they still sit at its level. Every
    // share runs once, even from a share.
    void workQueue() {
        const int before = getpriority(PRIO_PROCESS, 0);
        WorkQueue queue(1);
        std::mutex mutex;
        std::set<int> nices;
        queue.start([&] {
            nices.insert(getpriority(PRIO_PROCESS, 0));
            WorkQueue::runShares(64, [&](int) {
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
                std::lock_guard lock(mutex);
                nices.insert(getpriority(PRIO_PROCESS, 0));
            });
        });
        queue.waitForDone();
        QVERIFY2(nices.size() == 1 && *nices.begin() > before,
                 qPrintable(QString::number(*nices.begin())));
        QCOMPARE(getpriority(PRIO_PROCESS, 0), before);
        std::atomic<int> runs[8][8] = {};
        WorkQueue::runShares(8, [&](int outer) {
            WorkQueue::runShares(8, [&](int inner) { ++runs[outer][inner]; });
        });
        for (auto& row : runs) QCOMPARE(std::count(std::begin(row), std::end(row), 1), 8);
    }

    // query|name|score (S at start, E elsewhere, N runs worth N bonuses, - no match), through the
    // fast paths (ASCII bytes, prepared queries, names as bytes) and the plain rules: blanks are
    // characters, words are not split, a base letter is not its accented form, half a character
    // is no match, Thai does not split emoji; the last three are names random ones hardly make:
    // not UTF-8, surrogates first, the lowest three-byte lead.
    void scoresOfTheRules() {
        for (const char* row :
             {"rep|Report.pdf|S", "port|Report.pdf|E", "rpt|Report.pdf|3", "repd|report.pdf|7",
              "ba|ab|-", "q1 rep|Q1 Report.pdf|S", "report q1|Q1 Report.pdf|-", "|anything|0",
              "café|Cafe\u0301.txt|S", "e|caf\u00e9|-", "e|cafe\u0301|-", "i\u0307s|İSTANBUL|S",
              "a👍b|xa👍yb|4", "👍|\u0e01👍|E", "\uFFFD|a\x80z|E", "👍x|a👍bx|2", "กx|กyx|2"}) {
            const QList<QByteArray> f = QByteArray(row).split('|');
            qint64 expected = f[2] == "-" ? -1 : kRunBonus * f[2].toInt();
            if (f[2] == "S" || f[2] == "E")
                expected = f[2] == "S" ? kScoreAtStart : kScoreElsewhere;
            const FileItem item = FileItem::fromPath("/root/" + f[1], "/root", false, 0);
            const PreparedQuery prepared(QString::fromUtf8(f[0]));
            const qint64 plain =
                matchScore(QString::fromUtf8(f[0]), QString::fromUtf8(f[1])).value_or(-1);
            QVERIFY2(
                plain == expected && Matcher(prepared).scoreName(item).value_or(-1) == expected,
                row);
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
            // Nothing between the searched folder and the name: no path to match.
            const std::optional<qint64> byName = referenceScore(query, name);
            const std::optional<qint64> byPath =
                dir.isEmpty() ? std::nullopt : referenceScore(query, dir + u'/' + name);
            QVERIFY2(matcher.scoreName(item) == byName && matcher.scorePath(item) == byPath &&
                         matcher.score(item) == (byName ? byName : byPath),
                     qPrintable(query + " in " + dir + u'/' + name));
        }
        // A text is simple when no two code points make one character: the per-character
        // shortcut must agree with the break iterator, and the fold made without Qt's string
        // functions with the one made with them, for every code point of the first two planes,
        // alone, doubled and before a combining mark, a joiner and LF.
        auto codePoints = [](const QString& t) { return t.toUcs4().size(); };
        for (char32_t c = 1; c < 0x20000; ++c) {
            if (QChar::isSurrogate(c)) continue;
            const QString one = QString::fromUcs4(&c, 1);
            for (const QString& t : {u'/' + one + u'/', one + one, one + QChar(0x301),
                                     one + QChar(0x200d) + one, one + u'\n'}) {
                const FoldedText folded = foldUtf8(t.toUtf8());
                if (isSimpleText(t) != (graphemeCount(t) == codePoints(t)) ||
                    folded.utf8 != foldText(t).toUtf8() ||
                    folded.simple != isSimpleText(u'/' + foldText(t) + u'/'))
                    QFAIL(qPrintable(QString::number(quint32(c), 16)));
            }
        }
        for (const char* bytes : {"\xe0\x82\x80", "a\xc3", "\xc3\x28"})  // not UTF-8
            QCOMPARE(foldUtf8(QByteArray(bytes)).utf8, foldText(QString::fromUtf8(bytes)).toUtf8());
        // Walks over user-perceived characters stop at their edges and the ends of the text; Qt
        // 6.4's own boundary finder splits the emoji here once Thai is present.
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

    // listing, query, content hits (/s/...) and pills, sort mode (name, date, size), expected,
    // locales; '-' for none. Ranked once per listing, collated at the end, and sorted alone; equal
    // sizes let the ranking show through. A start ties with scattered runs of 13, 3 and 2.
    void runs() {
        const char* rows[] = {
            "zz.txt|xabc|abc.txt|a_b_c|body.txt|o.md abc /s/body.txt,/s/abc.txt s "
            "abc.txt|xabc|a_b_c|body.txt",
            "projects/alpha/notes.txt|alpha.txt alpha - s alpha.txt|projects/alpha/notes.txt",
            "xrep=10|rep-b=10|rep-a=10|big=99 rep - s rep-b|rep-a|xrep",
            "abcdefghijklmnopqr.txt|abcdefghijklm_nop_qr abcdefghijklmnopqr - s "
            "abcdefghijklmnopqr.txt|abcdefghijklm_nop_qr",
            "b.txt|dir/|dir/a.txt - - n dir|dir/a.txt|b.txt",
            "k/y|y/ k /s/y n y|k/y",  // the same name: the folder first, though it ranks below
            "docs/|a.pdf|B.PDF|README|c.png - folders,pdf n docs|a.pdf|B.PDF",
            "b|Report.pdf|a|report.PDF|B - - n a|b|B|Report.pdf|report.PDF",
            "é|e|É|E - - n e|E|é|É",
            "z|_|ä|1 - - n _|1|ä|z de_DE",
            "z|_|ä|1 - - n _|1|z|ä sv_SE",
            "z|_|ä|1 - - n 1|_|z|ä C",
            "none|old@1000|dir/|new@9000|none2 - - d dir|new|old|none|none2",
            "small=1|first=50|big=900|second=50|dir/|none=0 - - s dir|big|first|second|small|none",
            "z/x.txt|b/x.txt|q/bx/x.txt|ab/x.txt|bx/x.txt|c/x.txt bx /s/z/x.txt n "
            "bx/x.txt|q/bx/x.txt|b/x.txt|ab/x.txt|z/x.txt"};
        for (const char* row : rows) {
            const QStringList f = QString::fromUtf8(row).split(u' ') << "en_US,C,sv_SE";
            const SortMode mode = SortMode(QStringLiteral("nds").indexOf(f[3]));
            FilterRequest request{f[1] == u"-" ? QString() : f[1], {}, {}, mode};
            for (const QString& e : f[2].split(u',')) {
                if (e.startsWith(u'/'))
                    request.contentHits.insert(e.toUtf8());
                else if (e != u"-")
                    request.extensions.insert(e == u"folders" ? kFolderKey : e);
            }
            for (const QString& locale : f[5].split(u',')) {
                QLocale::setDefault(QLocale(locale));
                for (bool ranked : {true, false})
                    QCOMPARE(names(filterItems(makeListing(items(f[0]), ranked), request)), f[4]);
                QList<FileItem> sorted = items(f[0]);
                sortItems(sorted, mode);
                if (f[1] + f[2] == u"--") QCOMPARE(names(sorted), f[4]);
            }
        }
    }

    // The name order is the collator's, whether names go through the ASCII table or keys, in
    // locales the table serves and in those it cannot (Czech "ch", Danish "aa"): names of every
    // kind, equal ones kept in list order and marked equal. Ranks merged from an earlier listing
    // (names added, or added and dropped) are the ranks worked out afresh.
    void nameOrderIsTheCollatorsOrder() {
        const QStringList pieces =
            QString::fromUtf8(
                "a|A|b|c|C|h|H|ch|aa|z|Z|y|v|w|i|I|1|2|0| |-|_|.|~|!|(|'|+|@|`|^|\x7f|\t|é|É|ß|ı|İ|"
                "\u212a|ａ|e\u0301|日本|👍|\u00ad")
                .split(u'|');
        std::mt19937 random(1612);
        QList<FileItem> all;
        for (int i = 0; i < 4000; ++i) {
            QByteArray name;
            for (int n = 1 + int(random() % 6); n > 0; --n)  // three in four ASCII
                name += pieces[qsizetype(random() % (i % 4 ? 33 : pieces.size()))].toUtf8();
            if (i % 500 == 0) name += "\xff";  // not UTF-8
            if (i % 3 == 0)  // long shared beginnings, some names of eight characters exactly
                name = QByteArray("100MEDIA") + (i % 9 ? "" : "img_2024") + (i % 6 ? name : "");
            all.append(FileItem::fromPath("/s/" + name, "/s", i % 5 == 0, 0));
        }
        for (const char* locale :
             {"C", "en_US", "de_DE", "sv_SE", "cs_CZ", "da_DK", "tr_TR", "fr_FR", "ja_JP"}) {
            QLocale::setDefault(QLocale(QString::fromLatin1(locale)));
            const NameCollation collation;  // its keys are the order the lists had before
            std::vector<NameCollation::Key> keys;
            for (const FileItem& item : all) keys.push_back(collation.key(item.name()));
            std::vector<quint32> expected(size_t(all.size()));
            std::iota(expected.begin(), expected.end(), 0u);
            std::stable_sort(expected.begin(), expected.end(),
                             [&](quint32 a, quint32 b) { return keys[a].compare(keys[b]) < 0; });
            const NameOrder got = sortedByName(all);
            QVERIFY2(got.order == expected, locale);
            for (size_t i = 1; i < expected.size(); ++i)
                QVERIFY2(got.equalsPrevious[i] ==
                             (keys[expected[i - 1]].compare(keys[expected[i]]) == 0),
                         locale);
            QList<FileItem> before;  // all but every seventh
            std::vector<qint32> origin;
            for (qsizetype i = 0; i < all.size(); ++i) {
                origin.push_back(i % 7 ? qint32(before.size()) : -1);
                if (i % 7) before.append(all[i]);
            }
            for (int dropEvery : {0, 11}) {
                QList<FileItem> after, unranked;
                std::vector<qint32> from;
                for (qsizetype i = 0; i < all.size(); ++i) {
                    if (dropEvery && i % dropEvery == 0) continue;
                    after.append(all[i]);
                    from.push_back(origin[size_t(i)]);
                    if (origin[size_t(i)] < 0) unranked.append(all[i]);
                }
                QVERIFY2(mergedNameRanks(*makeListing(before), from, unranked) ==
                             computeNameRanks(after),
                         locale);
            }
            // A few names added: the order comes from the old one, folders first and equal
            // names in listing order as the sort has them; not when kept names changed places.
            QList<FileItem> old, added;
            std::vector<qint32> kept;
            std::vector<bool> directory;
            for (qsizetype i = 0; i < all.size(); ++i) {
                kept.push_back(i % 100 ? qint32(old.size()) : -1);
                (i % 100 ? old : added).append(all[i]);
                directory.push_back(all[i].isDirectory());
            }
            const ListingPtr oldListing = makeListing(old);
            const std::vector<quint32> ranks = mergedNameRanks(*oldListing, kept, added);
            auto isDirectory = [&](size_t i) { return bool(directory[i]); };
            const ItemOrder order = nameOrderFromKept(*oldListing, kept, ranks, isDirectory);
            QVERIFY2(order && *order == *nameOrderOf(ranks, isDirectory), locale);
            std::swap(kept[1], kept[2]);
            QVERIFY(!nameOrderFromKept(*oldListing, kept, ranks, isDirectory));
        }
        QLocale::setDefault(QLocale::c());
    }

    // Long lists are ranked in shares on several threads, content hits from each share last.
    void largeListsRankAsTheRulesSay() {
        QList<FileItem> all;
        for (int i = 0; i < 40000; ++i)
            all += items(QStringLiteral("d%1/n%2.txt").arg(i % 97).arg(i));
        const QSet<QByteArray> hits{"/s/d3/n39999.txt", "/s/d5/n5.txt", "/s/d1/n1.txt"};
        for (const char* query : {"n39", "d7/", "x"}) {
            std::multimap<qint64, FileItem, std::greater<>> ranked;  // equal scores in list order
            QList<FileItem> expected;
            for (const FileItem& item : all) {
                auto score = matchScore(query, item.name());
                if (!score)
                    score = matchScore(query, item.relativeDirectory() + u'/' + item.name());
                if (score) ranked.emplace(*score, item);
                if (!score && hits.contains(item.path())) expected.append(item);
            }
            for (auto it = ranked.rbegin(); it != ranked.rend(); ++it) expected.prepend(it->second);
            const FilterRequest request{query, hits, {}, SortMode::dateModified};  // no dates
            QCOMPARE(names(filterItems(makeListing(all), request, [] { return false; })),
                     names(expected));
        }
        // A superseded run stops within a block of items instead of ranking the whole list.
        const QList<FileItem> same(200000, items("dir/name.txt").first());
        std::atomic<int> asked = 0;
        const Results got = filterItems(makeListing(same, false), {"name", {}, {}, {}},
                                        [&] { return ++asked > 1; });
        QVERIFY(got.isEmpty());
        QVERIFY2(asked < 10, qPrintable(QString::number(asked)));  // to the end: about fifty
        // What the pills say of a list (with folders unless '!'); which extension each name has.
        QString many = QStringLiteral("dir/");  // e0 once, e1 twice, ... e11 twelve times
        for (int e = 0; e < 12; ++e) many += QStringLiteral("|f.e%1").arg(e).repeated(e + 1);
        const std::pair<QString, const char*> pillRows[] = {
            {"a.JPG|b.jpg|README", "All|JPG (2)"},
            {"x.b|y.a|z.b|w.a", "All|A (2)|B (2)"},
            {"a/|b/", "All|Folders"},
            {"!a/|b.txt", "All|TXT (1)"},
            {"", "All"},
            {"a.JPG|x.tar.gz|README|.bashrc|trailing.|Version 2.0 final|photo.ÉTÉ|lib.d/",
             "All|GZ (1)|JPG (1)|ÉTÉ (1)|Folders"},
            {many,
             "All|E11 (12)|E10 (11)|E9 (10)|E8 (9)|E7 (8)|E6 (7)|E5 (6)|E4 (5)|E3 (4)|E2 "
             "(3)|Folders"}};
        for (const auto& [listing, titles] : pillRows) {
            QStringList shown;
            for (const Pill& pill :
                 countPills(items(QString(listing).remove(u'!')), !listing.startsWith(u'!')))
                shown.append(pill.title);
            QCOMPARE(shown.join(u'|'), titles);
        }
    }
};

// One session from its start, driven as the panel and the engines would.
class SessionTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // folder, then the script; a count at the limit keeps the listing, one above hands over.
    void scenarios() {
        const QString limit = QString::number(kSpotlightOnlyThreshold),
                      large = QString::number(kSpotlightOnlyThreshold + 1),
                      handedOver =
                          "= /" + typeToSearchText(kSpotlightOnlyThreshold + 1) + "/; silent";
        const QString rows[][2] = {
            {"a|b", "count " + limit + "; final " + limit + "; = a|b/2 items/1; stopped"},
            {"a|b", "count " + large + "; " + handedOver},
            {"a|b", "count " + limit + "; final " + large + "; " + handedOver},
            // content hits join the ranked matches, the selection stays
            {"zeta report|body.txt|report.pdf|notes.txt",
             "sort size; type REPORT; = report.pdf|zeta report/2 of 4/100; select 1; "
             "hits body.txt report.pdf; = report.pdf|zeta report|body.txt/3 of 4/100; row 1; "
             "type zeta; = zeta report|body.txt|report.pdf/3 of 4/100; row 0"},
            // a passage for content-only rows, extracted once per query
            {"body.txt|report.pdf|notes.txt",
             "type REPORT; hits body.txt report.pdf; = body.txt|report.pdf/2 of 3/100; "
             "snippet report.pdf -; snippet notes.txt -; snippet body.txt Content match; "
             "snippet body.txt Content match; extract; ready 0; extracted 1; "
             "snippet body.txt /s/body.txt:REPORT; type repor; snippet body.txt Content match; "
             "type repo; extract; quiet; snippet body.txt Content match; extract; ready 0; "
             "snippet body.txt /s/body.txt:repo"},
            // a passage that arrives for a row no longer in the list repaints nothing
            {"body.txt|report.pdf|notes.txt",
             "type REPORT; hits body.txt report.pdf; = body.txt|report.pdf/2 of 3/100; "
             "snippet body.txt Content match; hits report.pdf; = report.pdf/1 of 3/100; extract; "
             "extracted 1; quiet"},
            // pills narrow; All, or the last one off, shows everything
            {"d/|a.pdf|b.pdf|c.png|R",
             "= d|a.pdf|b.pdf|c.png|R/5 items/1000; tap 1; tap 2; = a.pdf|b.pdf|c.png/3 of 5/0110; "
             "tap 0; = d|a.pdf|b.pdf|c.png|R/5 items/1000; tap 3; = d/1 of 5/0001; "
             "tap 3; = d|a.pdf|b.pdf|c.png|R/5 items/1000"},
            // index results rebuild the pills until one is chosen
            {"",
             "count " + large +
                 "; type x; searched x; index b.txt|xdir/|a.txt|c.md; "
                 "= xdir|a.txt|b.txt|c.md/4 results/100; tap 2; searched x x; index d.txt|e.md; "
                 "= e.md/1 results/001; type; = /0 results/001; stopped"},
            // trashed folders take their contents; folders are entered and left
            {"d/|d/in.txt|dx.txt|sub/",
             "= d|sub|dx.txt|d/in.txt/4 items/100; remove d; = sub|dx.txt/2 items/100; type t; "
             "enter sub; dir s/sub; = /Loading…/100; = d|sub|dx.txt|d/in.txt/4 items/100; back; "
             "dir s; back none"},
            {"a", "close; type a; silent; stopped all; close"}};  // closing stops everything
        for (const auto& [folder, script] : rows) {
            Harness h(folder);
            QVERIFY(h.session->countText() == loadingText() && h.full.front()->countsStarted == 1);
            play(h, script);
        }
    }

    void aTimeOutOrNoIndexKeepsHybrid() {
        Harness h("sub/", 150);
        const auto lateCount = h.full.back()->onFinishedGathering;
        QTRY_VERIFY(h.fullStopped.front());
        lateCount(1'000'000);
        QCOMPARE(h.session->searchMode(), SearchMode::hybrid);
        h.session->enterFolder("/s/sub");  // another folder, another detection
        h.full.back()->onCountReady(kSpotlightOnlyThreshold + 1);
        QCOMPARE(h.session->searchMode(), SearchMode::spotlightOnly);
        Harness without("a|b", 2000, false);  // without an index, hybrid
        play(without, "type a; = a/1 of 2/1");
    }

    // The name order never waits for sizes and dates; the size order reads them all, keeps the
    // list as it was until they are in, then publishes once. A file gone before its stat sorts
    // as size 0. The listing is kept, and a panel on a folder inside, or on the folder again,
    // serves it.
    void sizesAreReadWhenTheOrderNeedsThem() {
        TempTree tree;
        for (const char* file : {"small=1", "big=5000", "mid=50", "dir/in=7"})
            tree.write(QByteArray(file).split('=')[0],
                       QByteArray(QByteArray(file).split('=')[1].toInt(), 'x'));
        SearchSession::Dependencies deps;
        deps.filterDebounceMs = 0;
        deps.kept = std::make_shared<KeptListings>();
        SearchSession session(tree.path(), deps);
        QSignalSpy published(&session, &SearchSession::resultsReplaced);
        session.startSearch();
        QTRY_COMPARE_WITH_TIMEOUT(names(session.filteredItems()), "dir|big|dir/in|mid|small",
                                  20000);
        QVERIFY(std::ranges::none_of(session.allItems(), &FileItem::hasAttributes));
        QCOMPARE(unlink(tree.pathOf("big")), 0);
        published.clear();
        session.sortChanged(SortMode::size);
        QTRY_COMPARE_WITH_TIMEOUT(names(session.filteredItems()), "dir|mid|dir/in|small|big",
                                  20000);
        QTest::qWait(100);
        QCOMPARE(published.size(), 1);
        QTRY_COMPARE(deps.kept->count(), size_t(1));     // kept once stamped, in the background
        SearchSession again(tree.pathOf("dir/"), deps);  // below it: revalidated, not listed
        again.startSearch();
        QTRY_VERIFY_WITH_TIMEOUT(again.isSettled(), 20000);
        QCOMPARE(names(again.allItems()), "in");
        QTRY_COMPARE(deps.kept->count(), size_t(2));
        tree.write("new");  // the folder itself again, grown: its kept items and ranks merged
        SearchSession third(tree.path(), deps);
        third.startSearch();
        QTRY_VERIFY_WITH_TIMEOUT(third.isSettled(), 20000);
        QCOMPARE(names(third.filteredItems()), "dir|dir/in|mid|new|small");
    }

    // Keystrokes within the debounce make one run; of runs queued behind a slow one, and of a run
    // over a folder the panel has stepped out of, only the newest is published.
    void onlyTheNewestRunIsPublished() {
        QStringList many;
        for (int i = 0; i < 30000; ++i) many.append(QStringLiteral("n%1").arg(i));
        Harness h(many.join(u'|'));
        QVERIFY(QSignalSpy(h.session.get(), &SearchSession::resultsReplaced).wait(20000));
        const qint64 before = h.session->filterGeneration();
        QStringList published;
        connect(h.session.get(), &SearchSession::resultsReplaced, this,
                [&] { published.append(h.drawn().section(u'/', 0, 0)); });
        for (const char* text : {"n", "n2", "n29", "n1"}) h.session->queryChanged(text);
        h.session->runFilter();  // slow: thousands of matches
        h.session->queryChanged("n29999");
        h.session->runFilter();  // queued behind it
        QTRY_VERIFY_WITH_TIMEOUT(!published.isEmpty(), 20000);
        QTest::qWait(150);  // and the debounced run of the last query
        QCOMPARE(published, QStringList(published.size(), "n29999"));
        QCOMPARE(h.content.back()->searches.last(), QStringLiteral("n29999"));
        QVERIFY(h.session->filterGeneration() <= before + 3);
        published.clear();
        h.session->queryChanged("n1");
        h.session->runFilter();
        h.session->enterFolder("/s/n1");
        QTRY_COMPARE_WITH_TIMEOUT(h.session->filteredItems().size(), 30000, 20000);
        for (const QString& rows : published) QVERIFY(rows.isEmpty() || rows.count(u'|') == 29999);
    }
};

TARNWICK_TEST(ListingTest)
TARNWICK_TEST(UnprivilegedListingTest)
TARNWICK_TEST(FilterTest)
TARNWICK_TEST(SessionTest)
#include "CoreTest.moc"

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    return tarnwick::test::runRegisteredTests(argc, argv);
}
