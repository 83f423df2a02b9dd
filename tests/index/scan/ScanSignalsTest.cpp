#include "ScanTestSupport.h"
#include "index/scan/ScanIndex.h"
#include "tests/support/TempTree.h"
#include "tests/support/TestRunner.h"

#include <QPointer>
#include <QSignalSpy>
#include <QtTest>

using namespace tarnwick;

namespace {

void makeTree(test::TempTree& tree, int files) {
    for (int i = 0; i < files; ++i)
        tree.write("f" + QByteArray::number(i) + ".txt", i % 3 == 0 ? "a word" : "other");
}

struct Spies {
    explicit Spies(MetadataQuery* query)
        : progress(query, &MetadataQuery::gatheringProgress),
          finished(query, &MetadataQuery::finishedGathering),
          updated(query, &MetadataQuery::updated) {}
    int total() const { return progress.count() + finished.count() + updated.count(); }
    QSignalSpy progress;
    QSignalSpy finished;
    QSignalSpy updated;
};

}  // namespace

// When and whether a scanner query signals: only from the event loop, once finished, never
// after stop() or after a newer query took over, and not while updates are disabled.
class ScanSignalsTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void countFinishesAtOnceWithZero() {
        test::TempTree tree;
        makeTree(tree, 10);
        ScanIndex index;
        std::unique_ptr<MetadataQuery> query =
            index.createQuery(tree.path(), MetadataPredicate::everything, QString());
        query->start();
        Spies spies(query.get());  // connected after start(): nothing is missed
        QVERIFY(spies.finished.wait(1000));
        QCOMPARE(spies.finished.count(), 1);
        QCOMPARE(query->resultCount(), 0);
        QVERIFY(query->results().isEmpty());
    }

    void progressThenOneFinish() {
        test::TempTree tree;
        makeTree(tree, 30);
        ScanIndex index;
        for (int round = 0; round < 2; ++round) {  // the second reuses the kept walk
            std::unique_ptr<MetadataQuery> query = index.createQuery(
                tree.path(), MetadataPredicate::contentContains, QStringLiteral("WORD"));
            Spies spies(query.get());
            query->start();
            QCOMPARE(spies.total(), 0);  // never from within start()
            QVERIFY(spies.finished.wait(10000));
            QTest::qWait(50);
            QCOMPARE(spies.finished.count(), 1);
            QCOMPARE(spies.updated.count(), 0);
            QVERIFY(spies.progress.count() >= 1);
            qsizetype last = 0;
            for (const QList<QVariant>& signal : spies.progress) {
                QVERIFY(signal.first().value<qsizetype>() >= last);
                last = signal.first().value<qsizetype>();
            }
            QCOMPARE(last, query->resultCount());
            QCOMPARE(query->resultCount(), 10);
        }
    }

    // The same query without stop() finishes in this time; stopped, it stays silent.
    void stopSilencesTheQuery() {
        test::TempTree tree;
        makeTree(tree, 200);
        ScanIndex index;
        std::unique_ptr<MetadataQuery> control = index.createQuery(
            tree.path(), MetadataPredicate::contentContains, QStringLiteral("word"));
        QVERIFY(test::runToEnd(*control));
        index.setCatalogLifetime(std::chrono::milliseconds(0));
        std::unique_ptr<MetadataQuery> query = index.createQuery(
            tree.path(), MetadataPredicate::contentContains, QStringLiteral("word"));
        Spies spies(query.get());
        query->start();
        query->stop();
        QTest::qWait(1000);
        QCOMPARE(spies.total(), 0);
    }

    void newerQuerySupersedesTheRunningOne() {
        test::TempTree tree;
        makeTree(tree, 200);
        ScanIndex index;
        std::unique_ptr<MetadataQuery> older = index.createQuery(
            tree.path(), MetadataPredicate::contentContains, QStringLiteral("word"));
        std::unique_ptr<MetadataQuery> newer = index.createQuery(
            tree.path(), MetadataPredicate::contentContains, QStringLiteral("other"));
        Spies olderSpies(older.get());
        older->start();
        QVERIFY(test::runToEnd(*newer));
        QTest::qWait(200);
        QCOMPARE(olderSpies.total(), 0);
        QCOMPARE(newer->resultCount(), 133);
    }

    void disabledUpdatesHoldTheResults() {
        test::TempTree tree;
        makeTree(tree, 30);
        ScanIndex index;
        std::unique_ptr<MetadataQuery> control = index.createQuery(
            tree.path(), MetadataPredicate::contentContains, QStringLiteral("word"));
        QVERIFY(test::runToEnd(*control));  // the same scan, undisturbed, ends well within a second
        std::unique_ptr<MetadataQuery> query = index.createQuery(
            tree.path(), MetadataPredicate::contentContains, QStringLiteral("word"));
        Spies spies(query.get());
        query->disableUpdates();
        query->start();
        QTest::qWait(1000);
        QCOMPARE(spies.total(), 0);
        QCOMPARE(query->resultCount(), 0);
        query->enableUpdates();
        QCOMPARE(spies.total(), 0);  // released from the event loop, not from within the call
        QVERIFY(spies.finished.wait(1000));
        QCOMPARE(query->resultCount(), 10);
    }

    void receiverMayScheduleDeletionWhileSignalled() {
        test::TempTree tree;
        makeTree(tree, 30);
        ScanIndex index;
        QPointer<MetadataQuery> query =
            index
                .createQuery(tree.path(), MetadataPredicate::contentContains,
                             QStringLiteral("word"))
                .release();
        connect(query.data(), &MetadataQuery::gatheringProgress, query.data(), [&query] {
            query->stop();
            query->deleteLater();
        });
        query->start();
        QTRY_VERIFY_WITH_TIMEOUT(query.isNull(), 10000);
    }
};

TARNWICK_TEST(ScanSignalsTest)
#include "ScanSignalsTest.moc"
