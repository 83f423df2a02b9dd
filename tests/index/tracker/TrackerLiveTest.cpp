#include "SharedMiner.h"

#include <QSignalSpy>
#include <QtTest>

namespace tarnwick::test {

namespace {

constexpr int kChangeMs = 60000;  // a loaded machine may take this long; a quiet one, a second

std::unique_ptr<MetadataQuery> gathered(MetadataPredicate predicate, const char* text = "") {
    auto query = miner().index->createQuery(miner().path("live"), predicate, text);
    QSignalSpy finished(query.get(), &MetadataQuery::finishedGathering);
    query->start();
    finished.wait(60000);
    return query;
}

}  // namespace

// Queries stay live after gathering: files added and removed show up as one update each, which
// waits while updates are disabled, and never comes once the query stopped or for a change that
// leaves its results as they were.
class TrackerLiveTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void addedAndRemovedFilesUpdateTheQueries() {
        auto content = gathered(MetadataPredicate::contentContains, "zephyr");
        auto count = gathered(MetadataPredicate::everything);
        QSignalSpy updates(content.get(), &MetadataQuery::updated);
        const qsizetype before = count->resultCount();
        QCOMPARE(content->resultCount(), 0);
        miner().write("live/wind.txt", "A warm Zephyr blew.\n", true);
        QTRY_COMPARE_WITH_TIMEOUT(content->resultCount(), 1, kChangeMs);
        QTRY_COMPARE_WITH_TIMEOUT(count->resultCount(), before + 1, kChangeMs);
        QCOMPARE(content->results().first().path, miner().path("live/wind.txt"));
        QCOMPARE(updates.count(), 1);
        miner().remove("live/wind.txt");
        QTRY_COMPARE_WITH_TIMEOUT(content->resultCount(), 0, kChangeMs);
        QTRY_COMPARE_WITH_TIMEOUT(count->resultCount(), before, kChangeMs);
        QCOMPARE(updates.count(), 2);
    }

    // Measured against a query that is none of these: once it saw the change, they would have too.
    void disabledStoppedOrUnaffectedQueriesStayQuiet() {
        auto control = gathered(MetadataPredicate::nameOrContentContains, "frozen");
        auto disabled = gathered(MetadataPredicate::nameOrContentContains, "frozen");
        auto stopped = gathered(MetadataPredicate::nameOrContentContains, "frozen");
        auto unaffected = gathered(MetadataPredicate::nameOrContentContains, "unaffected");
        QSignalSpy disabledUpdates(disabled.get(), &MetadataQuery::updated);
        QSignalSpy stoppedUpdates(stopped.get(), &MetadataQuery::updated);
        QSignalSpy unaffectedUpdates(unaffected.get(), &MetadataQuery::updated);
        disabled->disableUpdates();
        stopped->stop();
        miner().write("live/frozen.bin", "x");
        QTRY_COMPARE_WITH_TIMEOUT(control->resultCount(), 1, kChangeMs);
        QTest::qWait(300);
        QCOMPARE(disabledUpdates.size() + stoppedUpdates.size() + unaffectedUpdates.size(), 0);
        QCOMPARE(disabled->resultCount() + stopped->resultCount(), 0);
        disabled->enableUpdates();
        QVERIFY(disabledUpdates.wait(kChangeMs));
        QCOMPARE(disabled->results().first().path, miner().path("live/frozen.bin"));
        miner().remove("live/frozen.bin");
    }
};

std::unique_ptr<QObject> newTrackerLiveTest() {
    return std::make_unique<TrackerLiveTest>();
}

}  // namespace tarnwick::test

#include "TrackerLiveTest.moc"
