#include "QueryWaiting.h"
#include "spotlight/SpotlightFullSearchEngine.h"
#include "tests/support/TestRunner.h"

using namespace tarnwick;
using namespace tarnwick::test;
using namespace std::chrono_literals;

namespace {

// An engine over a fake index with every delivery recorded.
struct Fixture {
    std::shared_ptr<FakeMetadataIndex> index = std::make_shared<FakeMetadataIndex>();
    std::unique_ptr<SpotlightFullSearchEngine> engine;
    QList<qint64> counts;
    QList<qint64> finalCounts;
    QList<QByteArrayList> deliveries;  // the paths of each delivery

    explicit Fixture(std::chrono::milliseconds debounce = 5ms) {
        engine = std::make_unique<SpotlightFullSearchEngine>(index, "/data", debounce);
        engine->onCountReady = [this](qint64 count) { counts.append(count); };
        engine->onFinishedGathering = [this](qint64 count) { finalCounts.append(count); };
        engine->onResults = [this](const QList<FileItem>& items) {
            deliveries.append(QByteArrayList());
            for (const FileItem& item : items) deliveries.last().append(item.path());
        };
    }
    FakeMetadataQuery* search(const QString& text) { return searchAndWait(*engine, *index, text); }
};

}  // namespace

class FullEngineCountTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void reportsRunningCountsThenTheFinalOneOnceAndStops() {
        Fixture f;
        f.engine->startCount();
        FakeMetadataQuery* query = f.index->lastQuery();
        QCOMPARE(query->record().predicate, MetadataPredicate::everything);
        QCOMPARE(query->record().scope, QByteArray("/data"));
        query->setCount(3000);
        query->reportProgress();
        query->setCount(6000);
        query->reportProgress();
        QVERIFY(f.finalCounts.isEmpty());
        query->setCount(6100);
        query->finishGathering();
        QCOMPARE(query->record().stopCalls, 1);
        query->finishGathering();  // late: nobody listens any more
        query->reportProgress();
        QCOMPARE(f.counts, (QList<qint64>{3000, 6000}));
        QCOMPARE(f.finalCounts, QList<qint64>{6100});
    }

    void theCountQueryIsStoppedWhateverTheCallbackDoes_data() {
        QTest::addColumn<bool>("destroy");
        QTest::newRow("callback stops the engine") << false;
        QTest::newRow("callback destroys the engine") << true;
    }
    void theCountQueryIsStoppedWhateverTheCallbackDoes() {
        QFETCH(bool, destroy);
        Fixture f;
        f.engine->onFinishedGathering = [&](qint64 count) {
            f.finalCounts.append(count);
            destroy ? f.engine.reset() : f.engine->stop();
        };
        f.engine->startCount();
        f.index->lastQuery()->setCount(12);
        f.index->lastQuery()->finishGathering();
        QCOMPARE(f.finalCounts, QList<qint64>{12});
        QVERIFY(f.index->record(0).stopCalls >= 1);
        QTRY_VERIFY(!f.index->query(0));
    }

    void aReplacedOrStoppedCountQueryIsIgnored() {
        Fixture f;
        f.engine->startCount();
        QPointer<FakeMetadataQuery> first = f.index->lastQuery();
        f.engine->startCount();
        QVERIFY(first);  // deleted only from the event loop
        QCOMPARE(first->record().stopCalls, 1);
        first->setCount(9000);
        first->reportProgress();
        first->finishGathering();
        QVERIFY(f.counts.isEmpty() && f.finalCounts.isEmpty());

        FakeMetadataQuery* second = f.index->lastQuery();
        f.engine->stop();
        QCOMPARE(second->record().stopCalls, 1);
        second->finishGathering();
        QVERIFY(f.finalCounts.isEmpty());
    }
};

class FullEngineSearchTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void threeSearchesWithinTheDebounceStartOneQueryForTheLast() {
        Fixture f(kEngineDebounce);
        for (const char* text : {"r", "re", "rep"}) f.engine->search(QString::fromLatin1(text));
        QTest::qWait(200);
        QCOMPARE(f.index->queryCount(), 0);
        QTRY_COMPARE_WITH_TIMEOUT(f.index->queryCount(), 1, 2000);
        QTest::qWait(350);
        QCOMPARE(f.index->queryCount(), 1);
        QCOMPARE(f.index->record(0).text, QStringLiteral("rep"));
        QCOMPARE(f.index->record(0).predicate, MetadataPredicate::nameOrContentContains);
    }

    void emptyTextDeliversAnEmptyListAtOnceAndStopsEverything() {
        Fixture f;
        FakeMetadataQuery* running = f.search(QStringLiteral("a"));
        QVERIFY(running);
        f.engine->search(QStringLiteral("ab"));
        f.engine->search(QString());
        QCOMPARE(f.deliveries, QList<QByteArrayList>{QByteArrayList{}});
        QVERIFY(running->isStopped());
        QTest::qWait(50);
        QCOMPARE(f.index->queryCount(), 1);
    }

    void deliversTheCurrentQuerysItemsWhenGatheredAndOnEveryUpdate() {
        Fixture f;
        QPointer<FakeMetadataQuery> first = f.search(QStringLiteral("a"));
        QVERIFY(first);
        f.index->onQueryCreated = [&](FakeMetadataQuery&) {
            if (first) first->finishGathering();  // late, from the replaced query
        };
        FakeMetadataQuery* query = f.search(QStringLiteral("report"));
        QVERIFY(query);
        QCOMPARE(f.index->record(0).stopCalls, 1);
        query->setResults({metadataItem("/data/zeta report.txt"),
                           metadataItem("/data/a/b/report.pdf"), metadataItem("/data/r", 0, true)});
        query->finishGathering();
        query->update({metadataItem("/data/report-2.txt")});
        QCOMPARE(f.deliveries, (QList<QByteArrayList>{
                                   {"/data/zeta report.txt", "/data/a/b/report.pdf", "/data/r"},
                                   {"/data/report-2.txt"}}));
        QCOMPARE(query->record().readsWhileEnabled, 0);
    }
};

TARNWICK_TEST(FullEngineCountTest)
TARNWICK_TEST(FullEngineSearchTest)
#include "SpotlightFullSearchEngineTest.moc"
