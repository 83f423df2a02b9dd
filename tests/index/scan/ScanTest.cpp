#include "core/Preferences.h"
#include "index/scan/ScanIndex.h"
#include "tests/support/DocumentFixtures.h"
#include "tests/support/TempTree.h"
#include "tests/support/TestRunner.h"

#include <QGuiApplication>
#include <QPointer>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace tarnwick;
using namespace tarnwick::test;
namespace {
bool runToEnd(MetadataQuery& query) {
    QSignalSpy finished(&query, &MetadataQuery::finishedGathering);
    query.start();
    return finished.wait(30000);
}
QSet<QByteArray> relativePaths(const QList<MetadataItem>& items, const QByteArray& root) {
    QSet<QByteArray> paths;
    for (const MetadataItem& item : items) paths.insert(item.path.mid(root.size() + 1));
    return paths;
}
QSet<QByteArray> hitsFor(MetadataIndex& index, const QByteArray& root, const QString& text,
                         MetadataPredicate predicate = MetadataPredicate::contentContains) {
    std::unique_ptr<MetadataQuery> query = index.createQuery(root, predicate, text);
    if (!runToEnd(*query)) return {"<did not finish>"};
    return relativePaths(query->results(), root);
}
}  // namespace

// What a query finds below its scope: which entries, spelled how, with which facts, and how
// later queries see files that changed.
class ScanQueryTest : public QObject {
    Q_OBJECT
    TempTree m_tree;  // the tree that the first two tests search
private Q_SLOTS:
    void initTestCase() {
        for (const char* name :
             {".note.txt", "listed.txt", ".config/inside.txt", "both-invoice.txt"})
            m_tree.write(name, "invoice");
        m_tree.write("plain.txt", "The Invoice is due.");
        m_tree.write("notes/deep/accent.md", "un ínvoice accentué");
        m_tree.write("other.txt", "nothing to see");
        m_tree.write(".hidden", "listed.txt\n");
        m_tree.symlink("notes", "alias");
        for (const char* name :
             {"Invoices/2024/january.bin", "Invoice-march.bin", "caf\xE9-invoice.dat"})
            m_tree.write(name, "\x01");
        m_tree.write("content.txt", "an invoice");
        m_tree.touch("content.txt", 1700000000);
    }
    // Hits relative to the scope, which may be reached through a link or be missing; lower, upper
    // and accented, absent, hidden shown.
    void matchesFoldedTextWhereThePreferenceAllows() {
        const QSet<QByteArray> visible = {"plain.txt", "notes/deep/accent.md", "both-invoice.txt",
                                          "content.txt"};
        const QSet<QByteArray> hidden{".note.txt", "listed.txt", ".config/inside.txt"};
        const std::tuple<QByteArray, const char*, bool, QSet<QByteArray>> rows[] = {
            {"", "invoice", false, visible},
            {"", "ÍNVOICE", false, visible},
            {"", "zebra", false, {}},
            {"", "invoice", true, visible + hidden},
            {"/alias", "invoice", false, {"deep/accent.md"}},
            {"/missing", "invoice", false, {}}};
        for (const auto& [scope, text, showHidden, hits] : rows) {
            Preferences::setShowHiddenFiles(showHidden);
            ScanIndex index;
            QCOMPARE(hitsFor(index, m_tree.path() + scope, QString::fromUtf8(text)), hits);
        }
        Preferences::setShowHiddenFiles(false);
    }
    // A name and a content hit alike, each listed once, folders as folders; the scope may end in
    // a slash.
    void namesOrContentsWithTheirFacts() {
        ScanIndex index;
        auto query =
            index.createQuery(m_tree.path() + '/', MetadataPredicate::nameOrContentContains,
                              QStringLiteral("invoice"));
        QVERIFY(runToEnd(*query));
        QCOMPARE(query->resultCount(), 7);
        QCOMPARE(
            relativePaths(query->results(), m_tree.path()),
            (QSet<QByteArray>{"Invoices", "Invoice-march.bin", "both-invoice.txt", "content.txt",
                              "caf\xE9-invoice.dat", "plain.txt", "notes/deep/accent.md"}));
        for (const MetadataItem& item : query->results()) {
            QCOMPARE(item.isFolder, item.path.endsWith("/Invoices"));
            QCOMPARE(item.fileSize.has_value(), !item.isFolder);
            if (!item.path.endsWith("/content.txt")) continue;
            QCOMPARE(item.fileSize, std::optional<qint64>(10));
            QCOMPARE(item.contentModifiedMsecs, std::optional<qint64>(1700000000000));
        }
    }
    // The next query reuses the walk and the text read before, yet sees a file rewritten in place
    // (same size, or same time); a file added appears once the walk is no longer reused. The
    // filter is asked once for each non-empty candidate, with its size, from a worker thread.
    void laterQueriesSeeChangesThroughTheFilter() {
        TempTree tree;
        for (const char* name : {"a.txt", "skipped.txt"}) tree.write(name, "alpha");
        tree.write("b.txt", "gamma");
        tree.touch("b.txt", 1000);
        tree.write("empty.txt", "");
        QStringList asked;
        QMutex mutex;
        ScanIndex index([&](const QByteArray& path, qint64 size) {
            QMutexLocker lock(&mutex);
            asked << QString::fromUtf8(path.mid(path.lastIndexOf('/') + 1) + ':') +
                         QString::number(size);
            return !path.endsWith("skipped.txt");
        });
        const auto alpha = [&] { return hitsFor(index, tree.path(), QStringLiteral("alpha")); };
        QCOMPARE(alpha(), QSet<QByteArray>{"a.txt"});
        asked.sort();
        QCOMPARE(asked.join(u' '), QStringLiteral("a.txt:5 b.txt:5 skipped.txt:5"));
        tree.write("b.txt", "alpha");
        tree.touch("b.txt", 2000);
        tree.write("c.txt", "alpha as well");
        QCOMPARE(alpha(), (QSet<QByteArray>{"a.txt", "b.txt"}));
        tree.write("b.txt", "beta");
        tree.touch("b.txt", 2000);
        QCOMPARE(alpha(), QSet<QByteArray>{"a.txt"});
        index.setCatalogLifetime(std::chrono::milliseconds(0));
        QCOMPARE(alpha(), (QSet<QByteArray>{"a.txt", "c.txt"}));
    }
    // Text by extension (any case) or MIME type, unknown names by their first bytes, RTF and PDF;
    // up to a NUL or ill-formed UTF-8; streamed across read pieces. Links are not followed;
    // gigabytes of holes are read up to the first NUL; a late file is waited for. Never a crash nor
    // unbounded memory.
    void findsWhatTheFileSays() {
        const QByteArray big(2 * 1024 * 1024, 'y');  // more than is kept in memory: streamed
        const QByteArray head = "invoice" + QByteArray(4096 - 7, ' ');  // what is sniffed
        QByteArray nulEarly = big;
        nulEarly[100] = '\0';
        const std::tuple<QByteArray, QByteArray, bool> rows[] = {
            {"a.txt", "The Invoice is due.", true},
            {"B.MD", "invoice", true},
            {"main.py", "print('INVOICE')\n", true},
            {"Makefile", "invoice:\n", true},
            {"caf\xE9\n.txt", "invoice", true},
            {"i.png", "invoice", false},
            {"j.docx", "invoice", false},
            {"k.zzqx", "an invoice", true},
            {"k.zzqx", "%PDF-1.4 invoice", false},
            {"k.zzqx", head.left(4095) + '\0', false},
            {"k.zzqx", head + '\0', true},
            {"letter.rtf", rtfDocument("Dear client,\\par your inv\\'f3ice."), true},
            {"paper.pdf", makePdf({QStringLiteral("cover"), QStringLiteral("invoice")}), true},
            {"garbage.pdf", "%PDF-1.7\n\xFF\xFE garbage invoice", false},
            {"nul.txt", QByteArray("invoice\0binary", 14), true},
            {"late-nul.txt", QByteArray("binary\0invoice", 14), false},
            {"latin1.txt", "r\xE9sum\xE9 invoice", false},
            {"late-garbage.txt", "invoice, then \xFF", true},
            {"seam.log", QByteArray(64 * 1024 - 4, 'x') + "Invoice" + big, true},
            {"tail.txt", big + " invoice", true},
            {"binary.txt", nulEarly + " invoice", false},
            {"link.txt", "<link>", false},
            {"linked-folder", "<link>", false},
            {"start.txt", "<sparse>", true},
            {"end.txt", "<sparse>", false},
            {"long.txt", QByteArray(24 * 1024 * 1024, 'z') + " invoice", true}};
        for (const auto& [name, content, found] : rows) {
            TempTree tree(QStringLiteral("/var/tmp")), outside;
            outside.write("target.txt", "invoice");
            const qint64 size = qint64(5) << 30;
            if (content == "<link>") {
                tree.symlink(name.endsWith(".txt") ? outside.pathOf("target.txt") : outside.path(),
                             name);
            } else if (content == "<sparse>") {
                const int fd = ::open(tree.pathOf(name).constData(), O_WRONLY | O_CREAT, 0644);
                QCOMPARE(::pwrite(fd, "invoice", 7, name == "start.txt" ? 0 : size - 64), 7);
                QCOMPARE(::ftruncate(fd, size), 0);
                ::close(fd);
            } else {
                tree.write(name, content);
            }
            ScanIndex index;
            QCOMPARE(hitsFor(index, tree.path(), QStringLiteral("invoice")),
                     found ? QSet<QByteArray>{name} : QSet<QByteArray>());
        }
    }
    // Signals only from the event loop, never from within start(): progress that never goes back,
    // then one finish. None after stop() or once a newer query (of another scope, finding its own)
    // took over; held while updates are disabled (twice) until enabled. A receiver may delete the
    // query. The second round reuses the kept walk.
    void signalsFromTheEventLoopWhileCurrent() {
        const MetadataPredicate contains = MetadataPredicate::contentContains;
        const std::tuple<QByteArray, MetadataPredicate, QString, int> rows[] = {
            {"", MetadataPredicate::everything, {}, 0},   // a count
            {"", contains, QStringLiteral("\u0301"), 0},  // folds to nothing
            {"", contains, QStringLiteral("WORD"), 10},
            {"stopped", contains, QStringLiteral("word"), 10},
            {"superseded", contains, QStringLiteral("word"), 10},
            {"disabled", contains, QStringLiteral("word"), 10},
            {"deleted", contains, QStringLiteral("word"), 10}};
        for (const auto& [held, predicate, text, hits] : rows) {
            TempTree tree;
            for (int i = 0; i < 30; ++i)  // every third holds "word"
                tree.write("f" + QByteArray::number(i) + ".txt", i % 3 == 0 ? "a word" : "other");
            tree.write("sub/other.txt", "other");
            ScanIndex index;
            for (int round = 0; round < 2; ++round) {
                auto query = index.createQuery(tree.path(), predicate, text);
                QSignalSpy progress(query.get(), &MetadataQuery::gatheringProgress);
                QSignalSpy finished(query.get(), &MetadataQuery::finishedGathering);
                QSignalSpy updated(query.get(), &MetadataQuery::updated);
                if (held == "deleted") {  // by a receiver, while signalled
                    QPointer<MetadataQuery> deleted = query.release();
                    connect(deleted, &MetadataQuery::gatheringProgress, deleted, [deleted] {
                        deleted->stop();
                        deleted->deleteLater();
                    });
                    deleted->start();
                    QTRY_VERIFY_WITH_TIMEOUT(deleted.isNull(), 10000);
                    continue;
                }
                for (int i = 0; held == "disabled" && i < 2; ++i) query->disableUpdates();
                query->start();
                QCOMPARE(progress.count() + finished.count(), 0);
                if (held == "stopped") query->stop();
                if (held == "superseded") {
                    auto newer = index.createQuery(tree.pathOf("sub"), contains, "other");
                    QVERIFY(runToEnd(*newer));
                    QCOMPARE(relativePaths(newer->results(), tree.path()),
                             QSet<QByteArray>{"sub/other.txt"});
                }
                if (!held.isEmpty()) {  // once another scan of the same ended, this one had too
                    ScanIndex control;
                    QVERIFY(runToEnd(*control.createQuery(tree.path(), contains, "word")));
                    if (held == "disabled") query->enableUpdates();
                    QTest::qWait(50);
                    QCOMPARE(progress.count() + finished.count() + updated.count(), 0);
                    if (held != "disabled") continue;
                    query->enableUpdates();
                    QCOMPARE(progress.count() + finished.count(), 0);  // not within the call
                }
                QVERIFY(finished.wait(10000));
                QTest::qWait(50);
                QCOMPARE(finished.count(), 1);
                QCOMPARE(updated.count(), 0);
                qsizetype last = 0;
                for (const QList<QVariant>& signal : progress) {
                    QVERIFY(signal.first().value<qsizetype>() >= last);
                    last = signal.first().value<qsizetype>();
                }
                QCOMPARE(last, hits);
                QCOMPARE(query->resultCount(), hits);
            }
        }
    }
};

// Runs as an unprivileged user (root reads everything): files and folders the user may not
// read are passed over, the rest is still found.
class ScanUnreadableTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void unreadableFilesAndFoldersArePassedOver() {
        if (::geteuid() == 0) QSKIP("needs an unprivileged user; CTest runs it as nobody");
        TempTree tree;
        for (const char* name : {"open.txt", "closed.txt", "locked/inside.txt", "blind/seen.txt"})
            tree.write(name, "invoice");
        QCOMPARE(::chmod(tree.pathOf("closed.txt").constData(), 0), 0);
        QCOMPARE(::chmod(tree.pathOf("locked").constData(), 0), 0);
        QCOMPARE(::chmod(tree.pathOf("blind").constData(), 0111), 0);  // can pass, not list
        ScanIndex index;
        QCOMPARE(hitsFor(index, tree.path(), QStringLiteral("invoice")),
                 QSet<QByteArray>{"open.txt"});
    }
};

TARNWICK_TEST(ScanQueryTest)
TARNWICK_TEST(ScanUnreadableTest)
#include "ScanTest.moc"

// A GUI application for the PDF fixtures; the hidden-files preference set in a private folder.
int main(int argc, char** argv) {
    QTemporaryDir configHome;
    qputenv("XDG_CONFIG_HOME", configHome.path().toLocal8Bit());
    QGuiApplication app(argc, argv);
    return tarnwick::test::runRegisteredTests(argc, argv);
}
