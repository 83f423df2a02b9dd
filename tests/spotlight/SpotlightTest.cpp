#include "index/null/NullIndex.h"
#include "index/scan/ScanIndex.h"
#include "spotlight/CombinedIndex.h"
#include "spotlight/ContentSnippet.h"
#include "spotlight/IndexChooser.h"
#include "spotlight/IndexItemConversion.h"
#include "spotlight/SpotlightEngineFactory.h"
#include "tests/support/DocumentFixtures.h"
#include "tests/support/FakeMetadataQuery.h"
#include "tests/support/TempTree.h"
#include "tests/support/TestRunner.h"
#include "text/PdfReader.h"

#include <QElapsedTimer>
#include <QGuiApplication>
#include <QSignalSpy>
#include <QtTest>

using namespace tarnwick;
using namespace tarnwick::test;

// Either engine over a fake index, with every delivery recorded as its sorted paths.
struct Engine {
    std::shared_ptr<FakeMetadataIndex> index = std::make_shared<FakeMetadataIndex>();
    std::unique_ptr<ContentHitEngine> content;
    std::unique_ptr<FullSearchEngine> full;
    QStringList delivered;
    explicit Engine(bool isFull, int debounceMs = 5) {
        SpotlightEngineFactory factory(index, std::chrono::milliseconds(debounceMs));
        auto deliver = [this](QByteArrayList paths) {
            std::sort(paths.begin(), paths.end());
            delivered.append(QString::fromUtf8(paths.join(' ')));
        };
        if (!isFull) {
            content = factory.createContentEngine("/data/");
            content->onResults = [=](const QSet<QByteArray>& hits) { deliver(hits.values()); };
            return;
        }
        full = factory.createFullEngine("/data/");
        full->onResults = [=](const QList<FileItem>& items) {
            QByteArrayList paths;
            for (const FileItem& item : items) paths.append(item.path());
            deliver(paths);
        };
    }
    void search(const QString& text) { content ? content->search(text) : full->search(text); }
    // The query the search creates once its debounce has run out; null when none comes.
    FakeMetadataQuery* searchAndWait(const QString& text) {
        const qsizetype before = index->queryCount();
        search(text);
        const bool created = QTest::qWaitFor([&] { return index->queryCount() > before; }, 2000);
        return created ? index->lastQuery() : nullptr;
    }
};

// Both search engines (one debounced live query each), the index chosen for a folder, its answers
// as the list's items (below the folder only, in order), and the passage shown for a content hit.
class SpotlightTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void kinds() {
        for (bool isFull : {false, true}) {
            Engine e(isFull, int(kEngineDebounce.count()));
            // Typing within the debounce starts one query, for the last text (timers run early).
            QElapsedTimer sinceLastKey;
            qint64 waited = -1;
            e.index->onQueryCreated = [&](FakeMetadataQuery&) { waited = sinceLastKey.elapsed(); };
            e.search("inv");
            QTest::qWait(100);
            sinceLastKey.start();
            FakeMetadataQuery* query = e.searchAndWait("invoice");
            QTest::qWait(350);
            QVERIFY2(query && e.index->queryCount() == 1 && waited >= 280,
                     qPrintable(QString::number(waited)));
            const FakeQueryRecord& record = query->record();
            QVERIFY(record.text == u"invoice" && record.scope == "/data" && record.startCalls == 1);
            QCOMPARE(record.predicate, isFull ? MetadataPredicate::nameOrContentContains
                                              : MetadataPredicate::contentContains);
            // Delivered when gathered and on every update, read with updates held back.
            query->setResults({metadataItem("/data/a"), metadataItem("/data/sub/\xff")});
            QVERIFY(e.delivered.isEmpty());
            query->finishGathering();
            query->update({metadataItem("/data/new")});
            QCOMPARE(e.delivered, (QStringList{"/data/a /data/sub/\xff", "/data/new"}));
            QVERIFY(record.readsWhileEnabled == 0 && !query->updatesDisabled());
            // A replaced query is stopped, not heard, and let go of from the event loop.
            QPointer<FakeMetadataQuery> first = query;
            e.index->onQueryCreated = [&](FakeMetadataQuery&) {
                if (first) first->finishGathering();
            };
            FakeMetadataQuery* second = e.searchAndWait("invoices");
            QVERIFY(second && e.index->record(0).stopCalls == 1 && e.delivered.size() == 2);
            QTRY_VERIFY(!first);
            // An empty text delivers nothing at once and ends the search, a pending one too.
            e.search("in");
            e.search({});
            QVERIFY(e.delivered.last().isEmpty() && second->isStopped());
            second->finishGathering();
            QTest::qWait(30);
            QVERIFY(e.delivered.size() == 3 && e.index->queryCount() == 2);
            // Stopped, or dropped by its owner in its callback: query stopped, no more delivered.
            QVERIFY(e.searchAndWait("x"));
            e.content ? e.content->stop() : e.full->stop();
            e.index->lastQuery()->finishGathering();
            QVERIFY(e.searchAndWait("y"));
            if (e.content) e.content->onResults = [&](auto&) { e.content.reset(); };
            if (e.full) e.full->onResults = [&](auto&) { e.full.reset(); };
            e.index->lastQuery()->finishGathering();
            QVERIFY(!e.content && !e.full && e.index->record(3).stopCalls == 1);
            QTRY_VERIFY(!e.index->query(3));
            QCOMPARE(e.delivered.size(), 3);
        }
    }
    // Counts as they run, then the final one once, whatever the owner does then (nothing, stop or
    // destroy the engine). A replaced or stopped count query is not heard.
    void countsRunThenTheFinalOneOnce() {
        for (int inCallback : {0, 1, 2}) {
            Engine e(true);
            QList<qint64> counts;
            e.full->onCountReady = [&](qint64 count) { counts.append(count); };
            e.full->onFinishedGathering = [&](qint64 count) {
                counts.append(-count);
                if (inCallback == 1) e.full->stop();
                if (inCallback == 2) e.full.reset();
            };
            e.full->startCount();
            FakeMetadataQuery* query = e.index->lastQuery();
            QVERIFY(query->record().startCalls == 1 &&
                    query->record().predicate == MetadataPredicate::everything);
            for (qsizetype count : {3000, 6000, 6100}) {
                query->setCount(count);
                count < 6100 ? query->reportProgress() : query->finishGathering();
            }
            QVERIFY(query->record().stopCalls >= 1);
            query->finishGathering();  // late: nobody listens any more
            query->reportProgress();
            QCOMPARE(counts, (QList<qint64>{3000, 6000, -6100}));
            if (!e.full) continue;
            e.full->startCount();
            QPointer<FakeMetadataQuery> replaced = e.index->lastQuery();
            e.full->startCount();
            QVERIFY(replaced && replaced->isStopped());  // deleted only from the event loop
            replaced->finishGathering();
            e.full->stop();
            QVERIFY(e.index->lastQuery()->isStopped());
            e.index->lastQuery()->finishGathering();
            QCOMPARE(counts.size(), 3);
        }
    }
    // Tracker and the scanner's complement, played by two fake indexes, answering as one.
    void combinedIndexAnswersAsOne() {
        auto tracker = std::make_shared<FakeMetadataIndex>();
        auto scanner = std::make_shared<FakeMetadataIndex>();
        CombinedIndex index(tracker, scanner);
        auto query = index.createQuery("/s", MetadataPredicate::contentContains, "invoice");
        auto stopped = index.createQuery("/s", MetadataPredicate::contentContains, "invoice");
        for (auto* started : {query.get(), stopped.get()}) started->start();
        // What exists below the folder, the primary knows alone.
        auto count = index.createQuery("/s", MetadataPredicate::everything, {});
        QVERIFY(tracker->queryCount() == 3 && scanner->queryCount() == 2);
        tracker->lastQuery()->setCount(7001);
        QCOMPARE(count->resultCount(), 7001);
        for (const FakeQueryRecord& r : {tracker->record(0), scanner->record(0)})
            QVERIFY(r.scope == "/s" && r.text == u"invoice" && r.startCalls == 1 &&
                    r.predicate == MetadataPredicate::contentContains);
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
        QVERIFY(query->results().first().fileSize == 1 && query->resultCount() == 3);
        // Gathered once both have, then updated by either.
        QSignalSpy finished(query.get(), &MetadataQuery::finishedGathering);
        QSignalSpy updated(query.get(), &MetadataQuery::updated);
        primary->finishGathering();
        complement->update({metadataItem("/s/x")});  // still gathering: not an update yet
        QCOMPARE(finished.count() + updated.count(), 0);
        complement->finishGathering();
        primary->finishGathering();
        QCOMPARE(finished.count(), 1);
        const int before =
            primary->record().readsWhileEnabled + complement->record().readsWhileEnabled;
        query->disableUpdates();  // as the engines read: both parts held still, then let go
        QCOMPARE(paths(), "/s/b /s/a /s/x");
        query->enableUpdates();
        QCOMPARE(primary->record().readsWhileEnabled + complement->record().readsWhileEnabled,
                 before);
        primary->update({metadataItem("/s/t")});
        complement->update({metadataItem("/s/s")});
        QCOMPARE(updated.count(), 2);
        QCOMPARE(paths(), "/s/t /s/s");
        // Stopping stops both parts and silences them.
        QSignalSpy silenced(stopped.get(), &MetadataQuery::finishedGathering);
        stopped->stop();
        QVERIFY(tracker->query(1)->isStopped() && scanner->query(1)->isStopped());
        for (FakeMetadataIndex* part : {tracker.get(), scanner.get()})
            part->query(1)->finishGathering();
        QCOMPARE(silenced.count(), 0);
    }
    void itemsFollowTheScope() {
        for (const char* row : {"/s|/s/a.txt|", "/s|/s/a/b/c|a/b", "/|/etc/x/hosts|etc/x",
                                "/|/etc|", "/s\xe9|/s\xe9/d\xff/n\xfe|d\xff"}) {
            const QList<QByteArray> f = QByteArray(row).split('|');  // scope, path, relative folder
            const QList<FileItem> items = fileItemsFromMetadata({metadataItem(f[1])}, f[0]);
            QCOMPARE(items.size(), 1);
            QCOMPARE(items[0].path() + '|' + items[0].nativeRelativeDirectory().toByteArray(),
                     f[1] + '|' + f[2]);
        }
        const QList<FileItem> items =
            fileItemsFromMetadata({metadataItem({}), metadataItem("/s/a/1"), metadataItem("/s"),
                                   metadataItem("/s/d/"), metadataItem("/s2/x"), metadataItem("x"),
                                   metadataItem("/s/b/2"), metadataItem("/s/a/3")},
                                  "/s");
        QVERIFY(items.size() == 3 &&
                items[0].path() + items[1].path() + items[2].path() == "/s/a/1/s/b/2/s/a/3");
        QVERIFY(fileItemsFromMetadata({metadataItem("/"), metadataItem("rel/x")}, "/").isEmpty());
        QCOMPARE(&items[0].folder(), &items[2].folder());  // siblings share, as in a listing
        // Dates fall back to the change time; size and folder type carry over.
        MetadataItem both = metadataItem("/s/both", 12), changed = metadataItem("/s/c", {}, true),
                     epoch = metadataItem("/s/epoch");
        both.contentModifiedMsecs = 5000;
        both.changedMsecs = changed.changedMsecs = epoch.changedMsecs = 7000;
        epoch.contentModifiedMsecs = 0;  // a real date, not a missing one
        const QList<FileItem> dated =
            fileItemsFromMetadata({both, changed, metadataItem("/s/neither"), epoch}, "/s");
        QCOMPARE(dated[0].modifiedMsecs() + dated[1].modifiedMsecs(), 5000 + 7000);
        QVERIFY(!dated[2].modified() && dated[3].modifiedMsecs() == 0 && dated[0].fileSize() == 12);
        QVERIFY(dated[1].fileSize() == 0 && !dated[0].isDirectory() && dated[1].isDirectory());
    }
    void choices() {
        using B = IndexBackend;
        using C = IndexChoice;
        const B backends[] = {B::automatic, B::tracker, B::scan, B::none};
        const QStringList names = {"auto", "tracker", "scan", "none", "Auto", "", "automatic"};
        for (int i = 0; i < names.size(); ++i)
            QCOMPARE(indexBackendFromName(names[i]),
                     i < 4 ? std::optional(backends[i]) : std::nullopt);
        // backend, Tracker runs, Tracker covers the folder: the choice (with, alone, scanner, none)
        const C choices[] = {C::trackerWithScanner, C::trackerAlone, C::scannerAlone, C::nothing};
        for (const char* row : {"011W", "010S", "000S", "110T", "100N", "211S", "311N"})
            QCOMPARE(chooseIndex(backends[row[0] - '0'], row[1] == '1', row[2] == '1'),
                     choices[QByteArray("WTSN").indexOf(row[3])]);
        // Without Tracker, every folder shares the scanner, or nothing.
        for (B backend : backends) {
            IndexChooser chooser(backend, nullptr);
            const std::shared_ptr<MetadataIndex> index = chooser.indexFor("/home");
            const bool scanner = backend == B::automatic || backend == B::scan;
            QVERIFY(scanner ? bool(dynamic_cast<ScanIndex*>(index.get()))
                            : bool(dynamic_cast<NullIndex*>(index.get())));
            QCOMPARE(chooser.indexFor("/srv/other").get(), index.get());
        }
    }
    // Chosen by the file's extension: 40 characters before the match and 60 after, "…" where the
    // text goes on; plain text must be UTF-8 through to its end, the passage long settled by then.
    void contentSnippets() {
        TempTree tree;
        const QString around = QString(40, u'a') + "needle" + QString(60, u'b');
        const QByteArray big = "the needle " + QByteArray(3 << 20, 'x');
        QStringList pages;  // the first ones are read
        for (int page = 1; page <= kSnippetPdfPages; ++page) pages << "p" + QString::number(page);
        const QByteArray pdf = makePdf(pages + QStringList{QStringLiteral("lighthouse")});
        const std::tuple<QByteArray, QByteArray, QString, QString> rows[] = {
            {"a.txt", (u'a' + around + u'b').toUtf8(), "needle", u'…' + around + u'…'},
            {"lines.csv", "first\nline\n\nsecond   word", "second", "first line second  word"},
            {"NOTES\xff.HTML", "alpha beta", "beta", "alpha beta"},
            {"seam.xml", QByteArray(64 * 1024 - 3, 'x') + " Straddling " + QByteArray(100, 'y'),
             "straddling", u'…' + QString(39, u'x') + " Straddling " + QString(59, u'y') + u'…'},
            {"big.txt", big, "needle", "the needle " + QString(59, u'x') + u'…'},
            {"late.txt", big + "\xC0\xAF", "needle", "-"},
            {"a.rtf", rtfDocument("Zo\\'eb,\\par \\b Invoice\\b0 ."), "invoice", "Zoë, Invoice."},
            {"pages.pdf", pdf, "p10", pages.join(u' ') + u' '},
            {"late.pdf", pdf, "lighthouse", "-"},
            {"missing.docx", "<none>", "x", contentMatchText()},
            {"bundle.rtfd", "<folder>", "x", "-"},
            {"broken.pdf", "not a pdf", "pdf", "-"},
            {"absent.txt", "text", "zebra", "-"},
            {"missing.txt", "<none>", "a", "-"},
            {"no query.txt", "text", "", "-"}};
        for (const auto& [name, content, query, expected] : rows) {
            if (content == "<folder>") tree.mkdir(name);
            if (!content.startsWith('<')) tree.write(name, content);
            QCOMPARE(contentSnippet(tree.pathOf(name), query).value_or("-"), expected);
        }
    }
};

TARNWICK_TEST(SpotlightTest)
#include "SpotlightTest.moc"

// A GUI application: the PDF fixtures are written with QPdfWriter.
int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    return tarnwick::test::runRegisteredTests(argc, argv);
}
