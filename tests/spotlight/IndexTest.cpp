#include "index/null/NullIndex.h"
#include "index/scan/ScanIndex.h"
#include "spotlight/CombinedIndex.h"
#include "spotlight/ContentSnippet.h"
#include "spotlight/IndexChooser.h"
#include "spotlight/IndexItemConversion.h"
#include "tests/support/DocumentFixtures.h"
#include "tests/support/FakeMetadataQuery.h"
#include "tests/support/TempTree.h"
#include "tests/support/TestRunner.h"
#include "text/PdfReader.h"

#include <QGuiApplication>
#include <QSignalSpy>
#include <QtTest>

#include <sys/stat.h>

using namespace tarnwick;
using namespace tarnwick::test;

// Tracker and the scanner's complement, played by two fake indexes, answering as one.
class CombinedIndexTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void answersAsOne() {
        auto tracker = std::make_shared<FakeMetadataIndex>();
        auto scanner = std::make_shared<FakeMetadataIndex>();
        CombinedIndex index(tracker, scanner);
        auto query = index.createQuery("/s", MetadataPredicate::contentContains, "invoice");
        auto stopped = index.createQuery("/s", MetadataPredicate::contentContains, "invoice");
        query->start();
        stopped->start();
        // What exists below the folder, the primary knows alone.
        auto count = index.createQuery("/s", MetadataPredicate::everything, {});
        QVERIFY(tracker->queryCount() == 3 && scanner->queryCount() == 2);
        QCOMPARE(count->resultCount(), 0);
        tracker->lastQuery()->setCount(7001);
        QCOMPARE(count->resultCount(), 7001);
        for (FakeMetadataIndex* index : {tracker.get(), scanner.get()}) {
            const FakeQueryRecord& record = index->record(0);
            QVERIFY(record.scope == "/s" && record.text == u"invoice" && record.startCalls == 1);
            QCOMPARE(record.predicate, MetadataPredicate::contentContains);
        }
        FakeMetadataQuery *primary = tracker->query(0), *complement = scanner->query(0);
        auto paths = [&] {
            QByteArrayList out;
            for (const MetadataItem& item : query->results()) out.append(item.path);
            return out.join(' ');
        };
        // The primary first, each path once.
        primary->setResults({metadataItem("/s/b", 1), metadataItem("/s/a")});
        complement->setResults({metadataItem("/s/c"), metadataItem("/s/b", 2)});
        QCOMPARE(paths(), "/s/b /s/a /s/c");
        QCOMPARE(query->results().first().fileSize, 1);
        QCOMPARE(query->resultCount(), 3);
        // Gathered once both have, then updated by either.
        QSignalSpy finished(query.get(), &MetadataQuery::finishedGathering);
        QSignalSpy updated(query.get(), &MetadataQuery::updated);
        primary->finishGathering();
        complement->update({metadataItem("/s/x")});  // still gathering: not an update yet
        QCOMPARE(finished.count() + updated.count(), 0);
        complement->finishGathering();
        primary->finishGathering();
        QCOMPARE(finished.count(), 1);
        auto unfrozenReads = [&] {
            return primary->record().readsWhileEnabled + complement->record().readsWhileEnabled;
        };
        const int before = unfrozenReads();
        query->disableUpdates();  // as the engines read: both parts held still, then let go
        QCOMPARE(paths(), "/s/b /s/a /s/x");
        query->enableUpdates();
        QCOMPARE(unfrozenReads(), before);
        primary->update({metadataItem("/s/t")});
        complement->update({metadataItem("/s/s")});
        QCOMPARE(updated.count(), 2);
        QCOMPARE(paths(), "/s/t /s/s");
        // Stopping stops both parts and silences them.
        QSignalSpy silenced(stopped.get(), &MetadataQuery::finishedGathering);
        stopped->stop();
        QVERIFY(tracker->query(1)->isStopped() && scanner->query(1)->isStopped());
        tracker->query(1)->finishGathering();
        scanner->query(1)->finishGathering();
        QCOMPARE(silenced.count(), 0);
    }
};

// Which index answers for a folder, as chosen on the command line and by what runs; and its
// answers as the list's items: below the folder only, in their order.
class IndexChooserTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void itemsFollowTheScope() {
        const std::tuple<QByteArray, QByteArray, QByteArray> kept[] = {
            {"/s", "/s/a.txt", ""},
            {"/s", "/s/a/b/c", "a/b"},
            {"/", "/etc/x/hosts", "etc/x"},
            {"/", "/etc", ""},
            {"/s\xe9", "/s\xe9/d\xff/n\xfe", "d\xff"}};
        for (const auto& [scope, path, relativeDirectory] : kept) {
            const QList<FileItem> items = fileItemsFromMetadata({metadataItem(path)}, scope);
            QCOMPARE(items.size(), 1);
            QCOMPARE(items[0].path(), path);
            QCOMPARE(items[0].nativeRelativeDirectory().toByteArray(), relativeDirectory);
        }
        const QList<FileItem> items =
            fileItemsFromMetadata({metadataItem({}), metadataItem("/s/a/1"), metadataItem("/s"),
                                   metadataItem("/s/d/"), metadataItem("/s2/x"), metadataItem("x"),
                                   metadataItem("/s/b/2"), metadataItem("/s/a/3")},
                                  "/s");
        QCOMPARE(items.size(), 3);
        QCOMPARE(items[0].path() + items[1].path() + items[2].path(), "/s/a/1/s/b/2/s/a/3");
        QVERIFY(fileItemsFromMetadata({metadataItem("/"), metadataItem("rel/x")}, "/").isEmpty());
        QCOMPARE(&items[0].folder(), &items[2].folder());  // siblings share, as in a listing
    }

    void datesFallBackAndSizeAndFolderTypeCarryOver() {
        MetadataItem both = metadataItem("/s/both", 12), changed = metadataItem("/s/c", {}, true),
                     epoch = metadataItem("/s/epoch");
        both.contentModifiedMsecs = 5000;
        both.changedMsecs = changed.changedMsecs = epoch.changedMsecs = 7000;
        epoch.contentModifiedMsecs = 0;  // a real date, not a missing one
        const QList<FileItem> items =
            fileItemsFromMetadata({both, changed, metadataItem("/s/neither"), epoch}, "/s");
        QCOMPARE(items[0].modifiedMsecs(), 5000);
        QCOMPARE(items[1].modifiedMsecs(), 7000);
        QVERIFY(!items[2].modified());
        QCOMPARE(items[3].modifiedMsecs(), 0);
        QVERIFY(items[0].fileSize() == 12 && items[1].fileSize() == 0);
        QVERIFY(!items[0].isDirectory() && items[1].isDirectory());
    }

    void choices() {
        using B = IndexBackend;
        using C = IndexChoice;
        for (auto [name, backend] : {std::pair{u"auto", B::automatic},
                                     {u"tracker", B::tracker},
                                     {u"scan", B::scan},
                                     {u"none", B::none}})
            QCOMPARE(indexBackendFromName(name), backend);
        for (const char16_t* bad : {u"Auto", u"", u"automatic", u"spotlight"})
            QCOMPARE(indexBackendFromName(bad), std::nullopt);
        // backend, Tracker runs, Tracker covers the folder
        const std::tuple<B, bool, bool, C> choices[] = {
            {B::automatic, true, true, C::trackerWithScanner},
            {B::automatic, true, false, C::scannerAlone},
            {B::automatic, false, false, C::scannerAlone},
            {B::tracker, true, false, C::trackerAlone},
            {B::tracker, false, false, C::nothing},
            {B::scan, true, true, C::scannerAlone},
            {B::none, true, true, C::nothing}};
        for (auto [backend, runs, covers, choice] : choices)
            QCOMPARE(chooseIndex(backend, runs, covers), choice);
        // Without Tracker, every folder shares the scanner, or nothing.
        for (B backend : {B::automatic, B::tracker, B::scan, B::none}) {
            IndexChooser chooser(backend, nullptr);
            const std::shared_ptr<MetadataIndex> index = chooser.indexFor("/home");
            const bool scanner = backend == B::automatic || backend == B::scan;
            QCOMPARE(dynamic_cast<ScanIndex*>(index.get()) != nullptr, scanner);
            QCOMPARE(dynamic_cast<NullIndex*>(index.get()) != nullptr, !scanner);
            QCOMPARE(chooser.indexFor("/srv/other").get(), index.get());
        }
    }
};

// The passage shown for a file matched by its content, chosen by the file's extension.
class ContentSnippetTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void passages_data() {
        QTest::addColumn<QByteArray>("name");
        QTest::addColumn<QByteArray>("content");  // "<fifo>", "<folder>" or "<none>": no file
        QTest::addColumn<QString>("query");
        QTest::addColumn<QString>("passage");  // "-": none
        auto row = [](const QByteArray& name, const QByteArray& content, const QString& query,
                      const QString& passage) {
            QTest::newRow(name.constData()) << name << content << query << passage;
        };
        const QString a = QString(40, u'a'), b = QString(60, u'b');
        // 40 characters before the match and 60 after, "…" where the text goes on.
        row("a.txt", (u'a' + a + "needle" + b + u'b').toUtf8(), "needle",
            u'…' + a + "needle" + b + u'…');
        row("edges.md", (a + "needle" + b).toUtf8(), "NEEDLE", a + "needle" + b);
        row("lines.csv", "first\nline\n\nsecond   word", "second", "first line second  word");
        row("case.json", "{\"Name\": \"Invoice\"}", "INVOICE", "{\"Name\": \"Invoice\"}");
        row("NOTES\xff.HTML", "alpha beta", "beta", "alpha beta");
        row("seam.xml", QByteArray(64 * 1024 - 3, 'x') + " Straddling " + QByteArray(100, 'y'),
            "straddling", u'…' + QString(39, u'x') + " Straddling " + QString(59, u'y') + u'…');
        // Plain text must be UTF-8 through to its end, the passage long settled by then.
        const QByteArray big = "the needle " + QByteArray(3 << 20, 'x');
        row("big.txt", big, "needle", "the needle " + QString(59, u'x') + u'…');
        row("late.txt", big + "\xC0\xAF", "needle", "-");
        row("letter.rtf", test::rtfDocument("Dear Zo\\'eb,\\par the \\b Invoice\\b0 ."), "invoice",
            "Dear Zoë, the Invoice.");
        row("bundle.rtfd", "<folder>", "x", "-");
        QStringList pages;  // the first ones are read
        for (int page = 1; page <= kSnippetPdfPages; ++page)
            pages << QStringLiteral("p%1").arg(page);
        const QByteArray pdf = test::makePdf(pages + QStringList{QStringLiteral("lighthouse")});
        row("pages.pdf", pdf, "p10", pages.join(u' ') + u' ');
        row("late.pdf", pdf, "lighthouse", "-");
        row("broken.pdf", "not a pdf", "pdf", "-");
        // A log is text, but a pipe is never read: it could block.
        row("pipe.log", "<fifo>", "x", "-");
        row("missing.docx", "<none>", "x", kContentMatchText);
        row("absent.txt", "text", "zebra", "-");
        row("empty.txt", "", "a", "-");
        row("missing.txt", "<none>", "a", "-");
        row("folder.txt", "<folder>", "a", "-");
        row("no query.txt", "text", "", "-");
    }
    void passages() {
        QFETCH(QByteArray, name);
        QFETCH(QByteArray, content);
        QFETCH(QString, query);
        QFETCH(QString, passage);
        test::TempTree tree;
        if (content == "<fifo>")
            QCOMPARE(::mkfifo(tree.pathOf(name), 0644), 0);
        else if (content == "<folder>")
            tree.mkdir(name);
        else if (content != "<none>")
            tree.write(name, content);
        QCOMPARE(contentSnippet(tree.pathOf(name), query).value_or("-"), passage);
    }
};

TARNWICK_TEST(ContentSnippetTest)
TARNWICK_TEST(CombinedIndexTest)
TARNWICK_TEST(IndexChooserTest)
#include "IndexTest.moc"

// A GUI application, because the PDF fixtures are written with QPdfWriter (offscreen platform).
int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    return tarnwick::test::runRegisteredTests(argc, argv);
}
