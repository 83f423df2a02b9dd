#include "index/null/NullIndex.h"
#include "spotlight/SpotlightEngineFactory.h"
#include "tests/support/TestRunner.h"

#include <QTest>

using namespace tarnwick;
using namespace std::chrono_literals;

// The engines' lifecycle over an index that answers nothing, as with `--index none`.
class NullIndexEngineTest : public QObject {
    Q_OBJECT
private:
    SpotlightEngineFactory m_factory{std::make_shared<NullIndex>(), 1ms};

private Q_SLOTS:
    void everyAnswerIsEmptyAndComesOnce() {
        auto content = m_factory.createContentEngine("/nowhere");
        auto full = m_factory.createFullEngine("/nowhere");
        QList<qsizetype> answers;  // sizes of hit sets and item lists, then final counts
        content->onResults = [&](const QSet<QByteArray>& hits) { answers.append(hits.size()); };
        full->onResults = [&](const QList<FileItem>& items) { answers.append(items.size()); };
        full->onFinishedGathering = [&](qint64 count) { answers.append(count); };
        content->search(QStringLiteral("invoice"));
        full->search(QStringLiteral("invoice"));
        full->startCount();
        QVERIFY(answers.isEmpty());
        QTRY_COMPARE(answers.size(), 3);
        QTest::qWait(30);
        QCOMPARE(answers, (QList<qsizetype>{0, 0, 0}));
    }

    void stoppedEnginesStayQuiet() {
        auto content = m_factory.createContentEngine("/nowhere");
        auto full = m_factory.createFullEngine("/nowhere");
        int calls = 0;
        content->onResults = [&](const QSet<QByteArray>&) { ++calls; };
        full->onResults = [&](const QList<FileItem>&) { ++calls; };
        full->onFinishedGathering = [&](qint64) { ++calls; };
        full->startCount();  // answers in the next turn of the event loop...
        content->search(QStringLiteral("x"));
        full->search(QStringLiteral("x"));
        content->stop();  // ...which never comes
        full->stop();
        QTest::qWait(30);
        QCOMPARE(calls, 0);
    }
};

TARNWICK_TEST(NullIndexEngineTest)
#include "NullIndexEngineTest.moc"
