#include "index/null/NullIndex.h"
#include "tests/support/TestRunner.h"

#include <QSignalSpy>
#include <QTest>

using namespace tarnwick;

class NullIndexTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void finishesEmptyOnceInTheNextTurn_data() {
        QTest::addColumn<MetadataPredicate>("predicate");
        QTest::newRow("count") << MetadataPredicate::everything;
        QTest::newRow("content") << MetadataPredicate::contentContains;
        QTest::newRow("name or content") << MetadataPredicate::nameOrContentContains;
    }
    void finishesEmptyOnceInTheNextTurn() {
        QFETCH(MetadataPredicate, predicate);
        auto query = NullIndex().createQuery("/home", predicate, QStringLiteral("invoice"));
        QSignalSpy finished(query.get(), &MetadataQuery::finishedGathering);
        QSignalSpy updated(query.get(), &MetadataQuery::updated);
        query->start();
        QCOMPARE(finished.count(), 0);  // never from within start()
        QVERIFY(finished.wait(1000));
        QCOMPARE(query->resultCount(), 0);
        QVERIFY(query->results().isEmpty());
        QTest::qWait(20);
        QCOMPARE(finished.count(), 1);
        QCOMPARE(updated.count(), 0);
    }

    void stoppedOrDestroyedBeforeTheAnswerItStaysQuiet() {
        auto stopped = NullIndex().createQuery("/", MetadataPredicate::everything, {});
        QSignalSpy finished(stopped.get(), &MetadataQuery::finishedGathering);
        stopped->start();
        stopped->stop();
        auto destroyed = NullIndex().createQuery("/", MetadataPredicate::contentContains, "x");
        destroyed->start();
        destroyed.reset();
        QTest::qWait(20);  // a dangling queued call would crash here
        QCOMPARE(finished.count(), 0);
    }
};

TARNWICK_TEST(NullIndexTest)
#include "NullIndexTest.moc"
