#include "index/null/NullIndex.h"
#include "tests/support/TestRunner.h"

#include <QSignalSpy>
#include <QTest>

using namespace tarnwick;

// Answers nothing, once, from the event loop; nothing at all once stopped or destroyed.
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
        auto stopped = NullIndex().createQuery("/home", predicate, QStringLiteral("invoice"));
        auto destroyed = NullIndex().createQuery("/home", predicate, QStringLiteral("invoice"));
        QSignalSpy finished(query.get(), &MetadataQuery::finishedGathering);
        QSignalSpy stoppedFinished(stopped.get(), &MetadataQuery::finishedGathering);
        for (auto* started : {query.get(), query.get(), stopped.get(), destroyed.get()})
            started->start();
        stopped->stop();
        destroyed.reset();
        QCOMPARE(finished.count(), 0);  // never from within start()
        QVERIFY(finished.wait(1000));
        QTest::qWait(20);  // a dangling queued call would crash here
        QCOMPARE(finished.count(), 1);
        QCOMPARE(stoppedFinished.count(), 0);
        QCOMPARE(query->resultCount(), 0);
        QVERIFY(query->results().isEmpty());
    }
};

TARNWICK_TEST(NullIndexTest)
#include "NullIndexTest.moc"

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    return tarnwick::test::runRegisteredTests(argc, argv);
}
