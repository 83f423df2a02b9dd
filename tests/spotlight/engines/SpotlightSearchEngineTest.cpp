#include "QueryWaiting.h"
#include "spotlight/SpotlightSearchEngine.h"
#include "tests/support/TestRunner.h"

#include <QElapsedTimer>

using namespace tarnwick;
using namespace tarnwick::test;
using namespace std::chrono_literals;

class SpotlightSearchEngineTest : public QObject {
    Q_OBJECT
private:
    std::shared_ptr<FakeMetadataIndex> m_index;
    std::unique_ptr<SpotlightSearchEngine> m_engine;
    QList<QSet<QByteArray>> m_deliveries;

    void makeEngine(std::chrono::milliseconds debounce) {
        m_engine = std::make_unique<SpotlightSearchEngine>(m_index, "/data/", debounce);
        m_engine->onResults = [this](const QSet<QByteArray>& hits) { m_deliveries.append(hits); };
    }
    FakeMetadataQuery* search(const QString& text) {
        return searchAndWait(*m_engine, *m_index, text);
    }

private Q_SLOTS:
    void init() {
        m_index = std::make_shared<FakeMetadataIndex>();
        m_deliveries.clear();
        makeEngine(5ms);
    }

    void typingWithinTheDebounceStartsOneQueryForTheLastText() {
        makeEngine(kEngineDebounce);
        QElapsedTimer sinceLastKey;
        qint64 waited = -1;
        m_index->onQueryCreated = [&](FakeMetadataQuery&) { waited = sinceLastKey.elapsed(); };
        m_engine->search(QStringLiteral("inv"));
        QTest::qWait(100);
        m_engine->search(QStringLiteral("invoice"));
        sinceLastKey.start();
        QTRY_COMPARE_WITH_TIMEOUT(m_index->queryCount(), 1, 2000);
        QTest::qWait(350);
        QCOMPARE(m_index->queryCount(), 1);
        const FakeQueryRecord& query = m_index->record(0);
        QCOMPARE(query.text, QStringLiteral("invoice"));
        QCOMPARE(query.predicate, MetadataPredicate::contentContains);
        QCOMPARE(query.scope, QByteArray("/data"));
        QCOMPARE(query.startCalls, 1);
        QVERIFY2(waited >= 280, qPrintable(QString::number(waited)));  // coarse timers run 5% early
    }

    void deliversFrozenPathsWhenGatheredAndAgainOnEveryUpdate() {
        FakeMetadataQuery* query = search(QStringLiteral("invoice"));
        QVERIFY(query);
        query->setResults({metadataItem("/data/a.txt"), metadataItem({}),
                           metadataItem("/data/sub/b.pdf"), metadataItem("/data/\xff.txt")});
        QVERIFY(m_deliveries.isEmpty());
        query->finishGathering();
        query->update({metadataItem("/data/new.txt")});
        QCOMPARE(m_deliveries,
                 (QList<QSet<QByteArray>>{{"/data/a.txt", "/data/sub/b.pdf", "/data/\xff.txt"},
                                          {"/data/new.txt"}}));
        QCOMPARE(query->record().readsWhileEnabled, 0);
        QVERIFY(!query->updatesDisabled());
    }

    void emptyTextDeliversAnEmptySetAtOnceAndStops() {
        FakeMetadataQuery* query = search(QStringLiteral("invoice"));
        QVERIFY(query);
        m_engine->search(QStringLiteral("in"));  // pending when the text is cleared
        m_engine->search(QString());
        QCOMPARE(m_deliveries, QList<QSet<QByteArray>>{QSet<QByteArray>{}});
        QVERIFY(query->isStopped());
        query->finishGathering();
        QTest::qWait(50);
        QCOMPARE(m_index->queryCount(), 1);
        QCOMPARE(m_deliveries.size(), 1);
    }

    void aReplacedQueryIsStoppedAndItsLateNotificationsIgnored() {
        QPointer<FakeMetadataQuery> first = search(QStringLiteral("inv"));
        QVERIFY(first);
        first->setResults({metadataItem("/data/old.txt")});
        // A notification the first query had on its way when it was replaced.
        m_index->onQueryCreated = [&](FakeMetadataQuery&) {
            if (first) first->finishGathering();
        };
        FakeMetadataQuery* second = search(QStringLiteral("invoice"));
        QVERIFY(second);
        QCOMPARE(m_index->record(0).stopCalls, 1);
        QVERIFY(m_deliveries.isEmpty());
        second->setResults({metadataItem("/data/new.txt")});
        second->finishGathering();
        QCOMPARE(m_deliveries, QList<QSet<QByteArray>>{QSet<QByteArray>{"/data/new.txt"}});
        QTRY_VERIFY(!m_index->query(0));  // let go of, from the event loop
    }

    void stopAndDestructionEndEverything() {
        m_engine->search(QStringLiteral("a"));
        m_engine->stop();
        QTest::qWait(50);
        QCOMPARE(m_index->queryCount(), 0);

        FakeMetadataQuery* query = search(QStringLiteral("b"));
        QVERIFY(query);
        m_engine->stop();
        query->finishGathering();
        QVERIFY(m_deliveries.isEmpty());

        QVERIFY(search(QStringLiteral("c")));
        m_engine.reset();
        QCOMPARE(m_index->record(1).stopCalls, 1);
        QTRY_VERIFY(!m_index->query(1));
    }

    void theOwnerMayDropTheEngineFromItsCallback() {
        FakeMetadataQuery* query = search(QStringLiteral("x"));
        QVERIFY(query);
        m_engine->onResults = [this](const QSet<QByteArray>&) { m_engine.reset(); };
        query->finishGathering();
        QVERIFY(!m_engine);
        QCOMPARE(m_index->record(0).stopCalls, 1);
    }
};

TARNWICK_TEST(SpotlightSearchEngineTest)
#include "SpotlightSearchEngineTest.moc"
