#include "QueryProbe.h"
#include "TestCorpus.h"
#include "index/tracker/TrackerIndex.h"
#include "tests/support/TestRunner.h"
#include "tests/support/tracker/TrackerSandbox.h"

#include <QSignalSpy>
#include <QtTest>

namespace tarnwick::test {

namespace {

constexpr int kChangeTimeoutMs = 20000;

}  // namespace

// Queries stay live after gathering: files added and removed show up as updates, and updates
// wait while they are disabled.
class TrackerLiveTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() {
        m_corpus.writeText("live/seed.txt", "nothing special here\n");
        QVERIFY2(m_sandbox.start(), qPrintable(m_sandbox.failure()));
        m_index = TrackerIndex::connectNow(5000);
        QVERIFY(m_index);
    }

    void cleanupTestCase() {
        m_index.reset();
        m_sandbox.stop();
    }

    void addedAndRemovedFilesUpdateAContentQuery() {
        auto query = startedQuery(MetadataPredicate::contentContains, QStringLiteral("zephyr"));
        QCOMPARE(query->resultCount(), 0);

        m_corpus.writeText("live/wind.txt", "A warm Zephyr blew.\n");
        QVERIFY(waitUntil(*query, [&] { return paths(*query).contains(wind()); }));

        m_corpus.remove("live/wind.txt");
        QVERIFY(waitUntil(*query, [&] { return query->resultCount() == 0; }));
    }

    void countFollowsTheFolder() {
        auto query = startedQuery(MetadataPredicate::everything);
        const qsizetype before = query->resultCount();
        QVERIFY(before >= 1);
        m_corpus.write("live/extra.bin", "x");
        QVERIFY(waitUntil(*query, [&] { return query->resultCount() == before + 1; }));
        m_corpus.remove("live/extra.bin");
        QVERIFY(waitUntil(*query, [&] { return query->resultCount() == before; }));
    }

    void disabledUpdatesWaitForEnable() {
        auto query =
            startedQuery(MetadataPredicate::nameOrContentContains, QStringLiteral("frozen"));
        QCOMPARE(query->resultCount(), 0);
        QSignalSpy updated(query.get(), &MetadataQuery::updated);
        query->disableUpdates();
        m_corpus.write("live/frozen.bin", "x");
        // Long enough for the miner, the notifier and the coalescing to have acted.
        QVERIFY(m_sandbox.waitUntilIdle());
        QTest::qWait(1000);
        QCOMPARE(updated.size(), 0);
        QCOMPARE(query->resultCount(), 0);

        query->enableUpdates();
        QVERIFY(updated.wait(kChangeTimeoutMs));
        QCOMPARE(paths(*query), QSet<QByteArray>{m_corpus.path("live/frozen.bin")});
        m_corpus.remove("live/frozen.bin");
    }

    void stoppedQuerySignalsNothing() {
        auto query = startedQuery(MetadataPredicate::contentContains, QStringLiteral("gale"));
        QSignalSpy updated(query.get(), &MetadataQuery::updated);
        query->stop();
        m_corpus.writeText("live/gale.txt", "a gale\n");
        QVERIFY(m_sandbox.waitUntilIdle());
        QTest::qWait(1000);
        QCOMPARE(updated.size(), 0);
        QCOMPARE(query->resultCount(), 0);
    }

private:
    std::unique_ptr<MetadataQuery> startedQuery(MetadataPredicate predicate,
                                                const QString& text = {}) {
        auto query = m_index->createQuery(m_corpus.path("live"), predicate, text);
        QSignalSpy finished(query.get(), &MetadataQuery::finishedGathering);
        query->start();
        if (!finished.wait(kGatherTimeoutMs)) qWarning("query did not finish gathering");
        return query;
    }

    // Waits through updates until `done` holds.
    template <typename Done>
    bool waitUntil(MetadataQuery& query, Done done) {
        QDeadlineTimer deadline(kChangeTimeoutMs);
        while (!done()) {
            if (deadline.hasExpired() || !waitForUpdate(query, int(deadline.remainingTime())))
                return done();
        }
        return true;
    }

    static QSet<QByteArray> paths(const MetadataQuery& query) {
        QSet<QByteArray> set;
        for (const MetadataItem& item : query.results()) set.insert(item.path);
        return set;
    }
    QByteArray wind() const { return m_corpus.path("live/wind.txt"); }

    TrackerSandbox m_sandbox;
    TestCorpus m_corpus{m_sandbox.corpus()};
    std::unique_ptr<TrackerIndex> m_index;
};

TARNWICK_TEST(TrackerLiveTest)

}  // namespace tarnwick::test

#include "TrackerLiveTest.moc"
