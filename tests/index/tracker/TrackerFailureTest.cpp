#include "SharedMiner.h"

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QtTest>

#include <signal.h>

namespace tarnwick::test {

namespace {

// Milliseconds until connectAsync() answered without an index; -1 for an index, or no answer
// within 20 s.
qint64 msUntilRefused(int timeoutMs) {
    QObject context;
    QElapsedTimer clock;
    clock.start();
    qint64 answer = -2;
    TrackerIndex::connectAsync(
        &context,
        [&](std::unique_ptr<TrackerIndex> index) { answer = index ? -1 : clock.elapsed(); },
        timeoutMs);
    for (QDeadlineTimer deadline(20000); answer == -2 && !deadline.hasExpired();) QTest::qWait(10);
    return std::max<qint64>(answer, -1);
}

}  // namespace

// Tracker missing, mute or dying: connecting and querying end, shortened, never hang. Runs last,
// as it ends the shared miner: no bus, then a miner that stops answering, then one killed in the
// middle of a query, then none at all.
class TrackerFailureTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void noSessionBusRefusesAtOnce() {
        const QByteArray address = qgetenv("DBUS_SESSION_BUS_ADDRESS");
        qputenv("DBUS_SESSION_BUS_ADDRESS", "unix:path=/nonexistent/tarnwick-bus");
        const qint64 elapsedMs = msUntilRefused(10000);
        qputenv("DBUS_SESSION_BUS_ADDRESS", address);
        QVERIFY2(elapsedMs >= 0 && elapsedMs < 5000, QByteArray::number(elapsedMs));
    }

    void silentMinerTimesOut() {
        miner().sandbox.signalMiner(SIGSTOP);
        const qint64 elapsedMs = msUntilRefused(1000);
        QVERIFY2(elapsedMs >= 900 && elapsedMs < 5000, QByteArray::number(elapsedMs));
    }

    // The miner is still stopped: the query waits without holding the event loop, and ends when
    // the miner dies; so do later queries, and connecting is refused at once.
    void minerDyingMidQueryEndsTheQueries() {
        auto query = miner().index->createQuery(
            miner().path("notes"), MetadataPredicate::nameOrContentContains, "invoice");
        QSignalSpy finished(query.get(), &MetadataQuery::finishedGathering);
        QElapsedTimer clock;
        clock.start();
        query->start();
        QVERIFY2(clock.elapsed() < 5000, QByteArray::number(clock.elapsed()));
        QTest::qWait(300);
        QCOMPARE(finished.size(), 0);
        miner().sandbox.signalMiner(SIGKILL);
        QVERIFY(finished.wait(30000));
        QCOMPARE(query->resultCount(), 0);
        const Gathered after =
            gather(miner().path("notes"), MetadataPredicate::contentContains, "invoice");
        QVERIFY(after.finished);
        QCOMPARE(after.count, 0);
        const qint64 elapsedMs = msUntilRefused(10000);
        QVERIFY2(elapsedMs >= 0 && elapsedMs < 5000, QByteArray::number(elapsedMs));
    }
};

std::unique_ptr<QObject> newTrackerFailureTest() {
    return std::make_unique<TrackerFailureTest>();
}

}  // namespace tarnwick::test

#include "TrackerFailureTest.moc"
