#include "index/null/NullIndex.h"
#include "tests/support/TestRunner.h"

#include <QSignalSpy>
#include <QTest>

using namespace tarnwick;

// Answers nothing, once, from the event loop; nothing at all once stopped or destroyed.
class NullIndexTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void finishesEmptyOnceInTheNextTurn() {
        NullIndex index;
        const auto make = [&] {
            return index.createQuery("/home", MetadataPredicate::contentContains, "invoice");
        };
        auto query = make(), stopped = make(), destroyed = make();
        QSignalSpy finished(query.get(), &MetadataQuery::finishedGathering);
        QSignalSpy stoppedFinished(stopped.get(), &MetadataQuery::finishedGathering);
        for (auto* started : {query.get(), query.get(), stopped.get(), destroyed.get()})
            started->start();
        stopped->stop();
        destroyed.reset();
        QCOMPARE(finished.count(), 0);  // never from within start()
        QVERIFY(finished.wait(1000));
        QTest::qWait(20);  // a dangling queued call would crash here
        QVERIFY(finished.count() == 1 && stoppedFinished.count() == 0);
        QVERIFY(query->resultCount() == 0 && query->results().isEmpty());
    }
};

TARNWICK_TEST(NullIndexTest)
#include "NullIndexTest.moc"

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    return tarnwick::test::runRegisteredTests(argc, argv);
}
