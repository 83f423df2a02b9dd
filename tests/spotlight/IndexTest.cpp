#include "index/null/NullIndex.h"
#include "index/scan/ScanIndex.h"
#include "spotlight/CombinedIndex.h"
#include "spotlight/IndexChooser.h"
#include "spotlight/IndexItemConversion.h"
#include "tests/support/FakeMetadataQuery.h"
#include "tests/support/TestRunner.h"

#include <QSignalSpy>
#include <QtTest>

using namespace tarnwick;
using namespace tarnwick::test;

// Tracker and the scanner's complement, played by two fake indexes, answering as one.
class CombinedIndexTest : public QObject {
    Q_OBJECT
    std::shared_ptr<FakeMetadataIndex> m_tracker, m_scanner;
    std::unique_ptr<MetadataQuery> m_query;
    FakeMetadataQuery* scanner() const { return m_scanner->lastQuery(); }
    QByteArrayList paths() const {
        QByteArrayList out;
        for (const MetadataItem& item : m_query->results()) out.append(item.path);
        return out;
    }

private Q_SLOTS:
    void init() {
        m_tracker = std::make_shared<FakeMetadataIndex>();
        m_scanner = std::make_shared<FakeMetadataIndex>();
        CombinedIndex index(m_tracker, m_scanner);
        m_query = index.createQuery("/s", MetadataPredicate::contentContains, "invoice");
        m_query->start();
        // What exists below the folder, the primary knows alone.
        auto count = index.createQuery("/s", MetadataPredicate::everything, {});
        QVERIFY(m_tracker->queryCount() == 2 && m_scanner->queryCount() == 1);
        QCOMPARE(count->resultCount(), 0);
        m_tracker->lastQuery()->setCount(7001);
        QCOMPARE(count->resultCount(), 7001);
    }

    void bothAnswerThePrimaryFirstAndOnceForEachPath() {
        for (FakeMetadataIndex* index : {m_tracker.get(), m_scanner.get()}) {
            const FakeQueryRecord& record = index->record(0);
            QVERIFY(record.scope == "/s" && record.text == u"invoice" && record.startCalls == 1);
            QCOMPARE(record.predicate, MetadataPredicate::contentContains);
        }
        m_tracker->record(0).query->setResults({metadataItem("/s/b", 1), metadataItem("/s/a")});
        scanner()->setResults({metadataItem("/s/c"), metadataItem("/s/b", 2)});
        QCOMPARE(paths(), (QByteArrayList{"/s/b", "/s/a", "/s/c"}));
        QCOMPARE(m_query->results().first().fileSize, 1);
        QCOMPARE(m_query->resultCount(), 3);
    }

    void gatheredWhenBothHaveThenUpdatedByEitherUntilStopped() {
        QSignalSpy finished(m_query.get(), &MetadataQuery::finishedGathering);
        QSignalSpy updated(m_query.get(), &MetadataQuery::updated);
        FakeMetadataQuery* primary = m_tracker->record(0).query;
        primary->finishGathering();
        scanner()->update({metadataItem("/s/x")});  // still gathering: not an update yet
        QCOMPARE(finished.count() + updated.count(), 0);
        scanner()->finishGathering();
        primary->finishGathering();
        QCOMPARE(finished.count(), 1);
        auto unfrozenReads = [&] {
            return primary->record().readsWhileEnabled + scanner()->record().readsWhileEnabled;
        };
        const int before = unfrozenReads();
        m_query->disableUpdates();  // as the engines read: both parts held still, then let go
        QCOMPARE(paths(), QByteArrayList{"/s/x"});
        m_query->enableUpdates();
        QCOMPARE(unfrozenReads(), before);
        primary->update({metadataItem("/s/t")});
        scanner()->update({metadataItem("/s/s")});
        QCOMPARE(updated.count(), 2);
        QCOMPARE(paths(), (QByteArrayList{"/s/t", "/s/s"}));
    }

    void stoppingStopsBothAndSilencesThem() {
        QSignalSpy signalled(m_query.get(), &MetadataQuery::finishedGathering);
        m_query->stop();
        QVERIFY(m_tracker->record(0).query->isStopped() && scanner()->isStopped());
        m_tracker->record(0).query->finishGathering();
        scanner()->finishGathering();
        QCOMPARE(signalled.count(), 0);
    }
};

// The index's answers as the list's items: below the folder only, in their order.
class IndexItemConversionTest : public QObject {
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
};

// Which index answers for a folder, as chosen on the command line and by what runs.
class IndexChooserTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
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

TARNWICK_TEST(CombinedIndexTest)
TARNWICK_TEST(IndexItemConversionTest)
TARNWICK_TEST(IndexChooserTest)
#include "IndexTest.moc"
