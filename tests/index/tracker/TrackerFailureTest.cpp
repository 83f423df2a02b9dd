#include "QueryProbe.h"
#include "TestCorpus.h"
#include "index/tracker/TrackerIndex.h"
#include "tests/support/TestRunner.h"
#include "tests/support/tracker/TrackerSandbox.h"

#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QSignalSpy>
#include <QtTest>

namespace tarnwick::test {

namespace {

struct Connection {
    std::unique_ptr<TrackerIndex> index;
    qint64 elapsedMs = -1;  // -1: `done` never came
};

Connection connectMeasured(int timeoutMs, int waitMs = 10000) {
    Connection connection;
    QObject context;
    QElapsedTimer clock;
    clock.start();
    TrackerIndex::connectAsync(
        &context,
        [&](std::unique_ptr<TrackerIndex> index) {
            connection.index = std::move(index);
            connection.elapsedMs = clock.elapsed();
        },
        timeoutMs);
    QDeadlineTimer deadline(waitMs);
    while (connection.elapsedMs < 0 && !deadline.hasExpired()) QTest::qWait(10);
    return connection;
}

}  // namespace

// Tracker missing, mute or dying: connecting and querying end, shortened, never hang.
// The cases run in this order: no miner, then a miner that stops answering, then one killed.
class TrackerFailureTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() {
        // Enough text that a query is still being answered when the miner is killed.
        for (int i = 0; i < 1500; ++i)
            m_corpus.write("many/note" + QByteArray::number(i) + ".txt",
                           "meeting minutes " + QByteArray::number(i) + " agenda\n");
    }

    void cleanupTestCase() { m_sandbox.stop(); }

    void noSessionBusGivesNothingAtOnce() {
        const QByteArray saved = qgetenv("DBUS_SESSION_BUS_ADDRESS");
        qputenv("DBUS_SESSION_BUS_ADDRESS", "unix:path=/nonexistent/tarnwick-bus");
        const Connection connection = connectMeasured(5000);
        if (saved.isEmpty())
            qunsetenv("DBUS_SESSION_BUS_ADDRESS");
        else
            qputenv("DBUS_SESSION_BUS_ADDRESS", saved);
        QVERIFY(!connection.index);
        QVERIFY2(connection.elapsedMs < 1000, QByteArray::number(connection.elapsedMs));
    }

    void absentMinerGivesNothingAtOnce() {
        QVERIFY2(m_sandbox.startBusOnly(), qPrintable(m_sandbox.failure()));
        const Connection connection = connectMeasured(5000);
        QVERIFY(!connection.index);
        QVERIFY2(connection.elapsedMs < 1000, QByteArray::number(connection.elapsedMs));
    }

    void silentMinerTimesOut() {
        QVERIFY2(m_sandbox.start(), qPrintable(m_sandbox.failure()));
        m_sandbox.suspendMiner();
        const Connection connection = connectMeasured(1000);
        m_sandbox.resumeMiner();
        QVERIFY(!connection.index);
        QVERIFY2(connection.elapsedMs >= 900 && connection.elapsedMs < 3000,
                 QByteArray::number(connection.elapsedMs));
    }

    void silentMinerDuringAQueryDoesNotBlock() {
        std::unique_ptr<TrackerIndex> index = TrackerIndex::connectNow(5000);
        QVERIFY(index);
        m_sandbox.suspendMiner();
        auto query = index->createQuery(m_corpus.path("many"), MetadataPredicate::contentContains,
                                        QStringLiteral("agenda"));
        QElapsedTimer clock;
        clock.start();
        query->start();
        // The event loop keeps turning while the miner says nothing.
        QTest::qWait(500);
        QVERIFY(clock.elapsed() < 2000);
        query->stop();
        query.reset();
        m_sandbox.resumeMiner();
    }

    void minerKilledMidQueryEndsTheQuery() {
        std::unique_ptr<TrackerIndex> index = TrackerIndex::connectNow(5000);
        QVERIFY(index);
        auto query =
            index->createQuery(m_corpus.path("many"), MetadataPredicate::nameOrContentContains,
                               QStringLiteral("agenda"));
        QSignalSpy finished(query.get(), &MetadataQuery::finishedGathering);
        query->start();
        m_sandbox.killMiner();
        QVERIFY(finished.wait(30000) || finished.size() == 1);
        QVERIFY(query->resultCount() <= 1500);

        // Later queries on the same index end too, empty.
        const Gathered after =
            gather(*index, m_corpus.path("many"), MetadataPredicate::contentContains,
                   QStringLiteral("agenda"), 30000);
        QVERIFY(after.finished);
        QCOMPARE(after.count, qsizetype(0));
    }

private:
    TrackerSandbox m_sandbox;
    TestCorpus m_corpus{m_sandbox.corpus()};
};

TARNWICK_TEST(TrackerFailureTest)

}  // namespace tarnwick::test

#include "TrackerFailureTest.moc"
