#include "ScanTestSupport.h"
#include "core/Preferences.h"
#include "index/scan/ScanIndex.h"
#include "tests/support/DocumentFixtures.h"
#include "tests/support/TempTree.h"
#include "tests/support/TestRunner.h"

#include <QtTest>

using namespace tarnwick;
using test::hitsFor;

// What a query finds below its scope: which entries, spelled how, with which facts, and how
// later queries see files that changed.
class ScanQueryTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void cleanup() { Preferences::setShowHiddenFiles(false); }

    // Hits relative to the scope, which may be reached through a link or be missing.
    void matchesFoldedTextWhereThePreferenceAllows_data() {
        QTest::addColumn<QByteArray>("scope");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("showHidden");
        QTest::addColumn<QSet<QByteArray>>("hits");
        const QSet<QByteArray> visible = {"plain.txt", "notes/deep/accent.md"};
        const QString invoice = QStringLiteral("invoice");
        QTest::newRow("lower") << QByteArray() << invoice << false << visible;
        QTest::newRow("upper and accented")
            << QByteArray() << QStringLiteral("ÍNVOICE") << false << visible;
        QTest::newRow("absent") << QByteArray() << QStringLiteral("zebra") << false
                                << QSet<QByteArray>();
        QTest::newRow("hidden shown")
            << QByteArray() << invoice << true
            << (visible + QSet<QByteArray>{".note.txt", "listed.txt", ".config/inside.txt"});
        QTest::newRow("through a link")
            << QByteArray("/alias") << invoice << false << QSet<QByteArray>{"deep/accent.md"};
        QTest::newRow("missing") << QByteArray("/missing") << invoice << false
                                 << QSet<QByteArray>();
    }
    void matchesFoldedTextWhereThePreferenceAllows() {
        QFETCH(QByteArray, scope);
        QFETCH(QString, text);
        QFETCH(bool, showHidden);
        QFETCH(QSet<QByteArray>, hits);
        test::TempTree tree;
        tree.write("plain.txt", "The Invoice is due.");
        tree.write("notes/deep/accent.md", "un ínvoice accentué");
        tree.write("other.txt", "nothing to see");
        tree.write(".note.txt", "invoice");
        tree.write(".hidden", "listed.txt\n");
        tree.write("listed.txt", "invoice");
        tree.write(".config/inside.txt", "invoice");
        tree.symlink("notes", "alias");
        Preferences::setShowHiddenFiles(showHidden);
        ScanIndex index;
        QCOMPARE(hitsFor(index, tree.path() + scope, text), hits);
    }

    // A name and a content hit alike, each listed once, folders as folders; the scope may end in
    // a slash.
    void namesOrContentsWithTheirFacts() {
        test::TempTree tree;
        tree.write("Invoices/2024/january.bin", "\x01");
        tree.write("Invoice-march.bin", "\x03");
        tree.write("both-invoice.txt", "invoice");
        tree.write("content.txt", "an invoice");
        tree.write("caf\xE9-invoice.dat", "x");
        tree.write("unrelated.txt", "nothing");
        tree.touch("content.txt", 1700000000);
        ScanIndex index;
        auto query = index.createQuery(tree.path() + '/', MetadataPredicate::nameOrContentContains,
                                       QStringLiteral("invoice"));
        QVERIFY(test::runToEnd(*query));
        QCOMPARE(query->resultCount(), 5);
        QCOMPARE(test::relativePaths(query->results(), tree.path()),
                 (QSet<QByteArray>{"Invoices", "Invoice-march.bin", "both-invoice.txt",
                                   "content.txt", "caf\xE9-invoice.dat"}));
        for (const MetadataItem& item : query->results()) {
            QCOMPARE(item.isFolder, item.path.endsWith("/Invoices"));
            QCOMPARE(item.fileSize.has_value(), !item.isFolder);
            if (!item.path.endsWith("/content.txt")) continue;
            QCOMPARE(item.fileSize, std::optional<qint64>(10));
            QCOMPARE(item.contentModifiedMsecs, std::optional<qint64>(1700000000000));
        }
    }

    // The next query reuses the walk and the text read before, yet sees a file rewritten in place
    // (same size, or same time); a file added appears once the walk is no longer reused.
    void laterQueriesSeeChanges() {
        test::TempTree tree;
        tree.write("a.txt", "alpha");
        tree.write("b.txt", "gamma");
        tree.touch("b.txt", 1000);
        ScanIndex index;
        QCOMPARE(hitsFor(index, tree.path(), QStringLiteral("alpha")), QSet<QByteArray>{"a.txt"});
        tree.write("b.txt", "alpha");
        tree.touch("b.txt", 2000);
        tree.write("c.txt", "alpha as well");
        QCOMPARE(hitsFor(index, tree.path(), QStringLiteral("alpha")),
                 (QSet<QByteArray>{"a.txt", "b.txt"}));
        tree.write("b.txt", "beta");
        tree.touch("b.txt", 2000);
        QCOMPARE(hitsFor(index, tree.path(), QStringLiteral("alpha")), QSet<QByteArray>{"a.txt"});
        index.setCatalogLifetime(std::chrono::milliseconds(0));
        QCOMPARE(hitsFor(index, tree.path(), QStringLiteral("alpha")),
                 (QSet<QByteArray>{"a.txt", "c.txt"}));
    }

    // Asked once for each non-empty candidate, with its size, from a worker thread.
    void filterDecidesWhatIsRead() {
        test::TempTree tree;
        tree.write("read.txt", "invoice");
        tree.write("skipped.txt", "invoice");
        tree.write("empty.txt", "");
        QStringList asked;
        QMutex mutex;
        ScanIndex index([&](const QByteArray& path, qint64 size) {
            QMutexLocker lock(&mutex);
            asked << QString::fromUtf8(path.mid(path.lastIndexOf('/') + 1)) + ':' +
                         QString::number(size);
            return !path.endsWith("skipped.txt");
        });
        QCOMPARE(hitsFor(index, tree.path(), QStringLiteral("invoice")),
                 QSet<QByteArray>{"read.txt"});
        asked.sort();
        QCOMPARE(asked,
                 (QStringList{QStringLiteral("read.txt:7"), QStringLiteral("skipped.txt:7")}));
    }
};

TARNWICK_TEST(ScanQueryTest)
#include "ScanQueryTest.moc"
