#include "ScanTestSupport.h"
#include "index/scan/ScanIndex.h"
#include "tests/support/TempTree.h"
#include "tests/support/TestRunner.h"

#include <QPointer>
#include <QSignalSpy>
#include <QtTest>

using namespace tarnwick;

namespace {

// 30 files, every third holding "word".
void makeTree(test::TempTree& tree) {
    for (int i = 0; i < 30; ++i)
        tree.write("f" + QByteArray::number(i) + ".txt", i % 3 == 0 ? "a word" : "other");
}

struct Spies {
    explicit Spies(MetadataQuery* query)
        : progress(query, &MetadataQuery::gatheringProgress),
          finished(query, &MetadataQuery::finishedGathering),
          updated(query, &MetadataQuery::updated) {}
    int total() const { return int(progress.count() + finished.count() + updated.count()); }
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
    // Connected after start(): nothing is signalled from within it. The second round reuses the
    // kept walk.
    void progressThenOneFinishFromTheEventLoop_data() {
        QTest::addColumn<MetadataPredicate>("predicate");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("hits");
        QTest::newRow("count") << MetadataPredicate::everything << QString() << 0;
        QTest::newRow("text that folds to nothing")
            << MetadataPredicate::contentContains << QStringLiteral("\u0301") << 0;
        QTest::newRow("words") << MetadataPredicate::contentContains << QStringLiteral("WORD")
                               << 10;
    }
    void progressThenOneFinishFromTheEventLoop() {
        QFETCH(MetadataPredicate, predicate);
        QFETCH(QString, text);
        QFETCH(int, hits);
        test::TempTree tree;
        makeTree(tree);
        ScanIndex index;
        for (int round = 0; round < 2; ++round) {
            auto query = index.createQuery(tree.path(), predicate, text);
            query->start();
            Spies spies(query.get());
            QVERIFY(spies.finished.wait(10000));
            QTest::qWait(50);
            QCOMPARE(spies.finished.count(), 1);
            QCOMPARE(spies.updated.count(), 0);
            qsizetype last = 0;
            for (const QList<QVariant>& signal : spies.progress) {
                QVERIFY(signal.first().value<qsizetype>() >= last);
                last = signal.first().value<qsizetype>();
            }
            QCOMPARE(last, hits);
            QCOMPARE(query->resultCount(), hits);
        }
    }

    // Held back until a scan of its own ended: stopped, superseded by a newer query (of another
    // scope, and what that one finds is its own), or with updates disabled (twice) until enabled.
    void quietWhileStoppedSupersededOrDisabled_data() {
        QTest::addColumn<QString>("held");
        for (const char* held : {"stopped", "superseded", "disabled"}) QTest::newRow(held) << held;
    }
    void quietWhileStoppedSupersededOrDisabled() {
        QFETCH(QString, held);
        test::TempTree tree;
        makeTree(tree);
        tree.write("sub/other.txt", "other");
        ScanIndex index;
        auto query = index.createQuery(tree.path(), MetadataPredicate::contentContains, "word");
        auto newer =
            index.createQuery(tree.pathOf("sub"), MetadataPredicate::contentContains, "other");
        Spies spies(query.get());
        const bool disabled = held == QLatin1String("disabled");
        for (int i = 0; disabled && i < 2; ++i) query->disableUpdates();
        query->start();
        if (held == QLatin1String("stopped")) query->stop();
        if (held == QLatin1String("superseded")) {
            QVERIFY(test::runToEnd(*newer));
            QCOMPARE(test::relativePaths(newer->results(), tree.path()),
                     QSet<QByteArray>{"sub/other.txt"});
        }
        ScanIndex control;
        auto same = control.createQuery(tree.path(), MetadataPredicate::contentContains, "word");
        QVERIFY(test::runToEnd(*same));
        if (disabled) query->enableUpdates();
        QTest::qWait(50);
        QCOMPARE(spies.total(), 0);
        if (!disabled) return;
        query->enableUpdates();
        QCOMPARE(spies.total(), 0);  // released from the event loop, not from within the call
        QVERIFY(spies.finished.wait(1000));
        QCOMPARE(query->resultCount(), 10);
    }

    void receiverMayDeleteTheQueryWhileSignalled() {
        test::TempTree tree;
        makeTree(tree);
        ScanIndex index;
        QPointer<MetadataQuery> query =
            index.createQuery(tree.path(), MetadataPredicate::contentContains, "word").release();
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
