#include "ScanTestSupport.h"
#include "core/Preferences.h"
#include "index/scan/ScanIndex.h"
#include "tests/support/TempTree.h"
#include "tests/support/TestRunner.h"
#include "tests/text/DocumentFixtures.h"

#include <QtTest>

using namespace tarnwick;
using test::relativePaths;
using test::runToEnd;

namespace {

QSet<QByteArray> hitsFor(ScanIndex& index, const QByteArray& root, const QString& text,
                         MetadataPredicate predicate = MetadataPredicate::contentContains) {
    std::unique_ptr<MetadataQuery> query = index.createQuery(root, predicate, text);
    if (!runToEnd(*query)) return {"<did not finish>"};
    return relativePaths(query->results(), root);
}

// A folder where "invoice" occurs in many spellings and formats, and in places a scan skips.
void makeMixedTree(test::TempTree& tree) {
    tree.write("plain.txt", "The Invoice is due.");
    tree.write("notes/deep/er/accent.md", "un ínvoice accentué");
    tree.write("code/main.py", "print('INVOICE')\n");
    tree.write("code/unknown.zzqx", "an invoice in a file the MIME database does not know");
    tree.write("letter.rtf", test::rtfDocument("Dear client,\\par your inv\\'f3ice."));
    tree.write("fake.rtf", "plain text after all: invoice");
    test::writeFileBytes(tree.pathOf("paper.pdf"),
                         test::makePdf({QStringLiteral("cover"), QStringLiteral("The invoice")}));
    tree.write("other.txt", "nothing to see");
    tree.write("image.png", "invoice, but not a text type");
    tree.write(".hidden-note.txt", "invoice");
    tree.write(".hidden", "listed.txt\n");
    tree.write("listed.txt", "invoice");
    tree.write(".config/inside.txt", "invoice");
}

const QSet<QByteArray> kVisibleHits = {"plain.txt",    "notes/deep/er/accent.md",
                                       "code/main.py", "code/unknown.zzqx",
                                       "letter.rtf",   "fake.rtf",
                                       "paper.pdf"};

}  // namespace

class ScanQueryTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init() { Preferences::setShowHiddenFiles(false); }

    void findsContentIgnoringCaseAndDiacritics() {
        test::TempTree tree;
        makeMixedTree(tree);
        ScanIndex index;
        QCOMPARE(hitsFor(index, tree.path(), QStringLiteral("invoice")), kVisibleHits);
        QCOMPARE(hitsFor(index, tree.path(), QStringLiteral("ÍNVOICE")), kVisibleHits);
        QCOMPARE(hitsFor(index, tree.path(), QStringLiteral("zebra")), QSet<QByteArray>());
    }

    void hiddenEntriesFollowThePreference() {
        test::TempTree tree;
        makeMixedTree(tree);
        Preferences::setShowHiddenFiles(true);
        ScanIndex index;
        QSet<QByteArray> expected = kVisibleHits;
        expected += {".hidden-note.txt", "listed.txt", ".config/inside.txt"};
        QCOMPARE(hitsFor(index, tree.path(), QStringLiteral("invoice")), expected);
    }

    void namesOrContents() {
        test::TempTree tree;
        tree.write("Invoices/2024/january.bin", "\x01\x02");
        tree.write("Invoice-march.bin", "\x03");
        tree.write("both-invoice.txt", "invoice");
        tree.write("content.txt", "an invoice");
        tree.write("caf\xE9-invoice.dat", "x");
        ScanIndex index;
        std::unique_ptr<MetadataQuery> query = index.createQuery(
            tree.path(), MetadataPredicate::nameOrContentContains, QStringLiteral("invoice"));
        QVERIFY(runToEnd(*query));
        const QList<MetadataItem> results = query->results();
        QCOMPARE(results.size(), 5);  // a file matching both ways is listed once
        QCOMPARE(relativePaths(results, tree.path()),
                 (QSet<QByteArray>{"Invoices", "Invoice-march.bin", "both-invoice.txt",
                                   "content.txt", "caf\xE9-invoice.dat"}));
        for (const MetadataItem& item : results)
            QCOMPARE(item.isFolder, item.path.endsWith("/Invoices"));
    }

    void resultsCarrySizeAndDate() {
        test::TempTree tree;
        tree.write("dated.txt", "invoice 12345");
        tree.touch("dated.txt", 1700000000);
        ScanIndex index;
        std::unique_ptr<MetadataQuery> query = index.createQuery(
            tree.path() + "/", MetadataPredicate::contentContains, QStringLiteral("invoice"));
        QVERIFY(runToEnd(*query));
        QCOMPARE(query->resultCount(), 1);
        const MetadataItem item = query->results().first();
        QCOMPARE(item.path, tree.pathOf("dated.txt"));
        QCOMPARE(item.fileSize, std::optional<qint64>(13));
        QCOMPARE(item.contentModifiedMsecs, std::optional<qint64>(1700000000000));
        QVERIFY(!item.isFolder);
    }

    // The second query reuses the walk and the cached text, yet sees a file changed in place;
    // a file added meanwhile appears once the walk is no longer reused.
    void followingQueriesSeeChanges() {
        test::TempTree tree;
        tree.write("a.txt", "alpha");
        tree.write("b.txt", "beta");
        ScanIndex index;
        QCOMPARE(hitsFor(index, tree.path(), QStringLiteral("alpha")), QSet<QByteArray>{"a.txt"});
        tree.write("b.txt", "now alpha too");
        tree.write("c.txt", "alpha as well");
        QCOMPARE(hitsFor(index, tree.path(), QStringLiteral("alpha")),
                 (QSet<QByteArray>{"a.txt", "b.txt"}));
        index.setCatalogLifetime(std::chrono::milliseconds(0));
        QCOMPARE(hitsFor(index, tree.path(), QStringLiteral("alpha")),
                 (QSet<QByteArray>{"a.txt", "b.txt", "c.txt"}));
    }

    void filterDecidesWhatIsRead() {
        test::TempTree tree;
        tree.write("read.txt", "invoice");
        tree.write("skipped.txt", "invoice");
        QList<QByteArray> asked;
        QMutex mutex;
        ScanIndex index([&](const QByteArray& path, qint64 size) {
            QMutexLocker lock(&mutex);
            asked << path + ':' + QByteArray::number(size);
            return !path.endsWith("skipped.txt");
        });
        QCOMPARE(hitsFor(index, tree.path(), QStringLiteral("invoice")),
                 QSet<QByteArray>{"read.txt"});
        QCOMPARE(
            QSet<QByteArray>(asked.begin(), asked.end()),
            (QSet<QByteArray>{tree.pathOf("read.txt") + ":7", tree.pathOf("skipped.txt") + ":7"}));
    }

    void scopeReachedThroughALink() {
        test::TempTree tree;
        tree.write("real/doc.txt", "invoice");
        tree.symlink("real", "alias");
        ScanIndex index;
        std::unique_ptr<MetadataQuery> query = index.createQuery(
            tree.pathOf("alias"), MetadataPredicate::contentContains, QStringLiteral("invoice"));
        QVERIFY(runToEnd(*query));
        QCOMPARE(query->resultCount(), 1);
        QCOMPARE(query->results().first().path, tree.pathOf("alias/doc.txt"));
    }

    void missingScopeFinishesEmpty() {
        ScanIndex index;
        QCOMPARE(hitsFor(index, "/nonexistent/tarnwick/scope", QStringLiteral("x")),
                 QSet<QByteArray>());
    }
};

TARNWICK_TEST(ScanQueryTest)
#include "ScanQueryTest.moc"
