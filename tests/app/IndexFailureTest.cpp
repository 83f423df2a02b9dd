#include "app/SearchDependencies.h"
#include "index/tracker/TrackerQuery.h"
#include "spotlight/DebouncedQuery.h"
#include "tests/support/EventLoopWatchdog.h"
#include "tests/support/TestRunner.h"
#include "tests/support/tracker/TrackerSandbox.h"

#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTest>
#include <QTimer>

#include <signal.h>

#include <functional>

namespace tarnwick::test {

using namespace Qt::StringLiterals;

namespace {

QStringList& loggedLines() {
    static QStringList lines;
    return lines;
}

void recordMessage(QtMsgType, const QMessageLogContext& context, const QString& message) {
    loggedLines().append(QString::fromLatin1(context.category) + u": "_s + message);
}

}  // namespace

// An open search while the miner is killed, restarted and frozen, as a panel runs it: names keep
// coming from the disk, every content query ends (a frozen miner's after the silence time-out),
// the event loop never waits on the miner, the restarted miner answers the next query, and each
// outage leaves one line in the log and nothing else.
class IndexFailureTest : public QObject {
    Q_OBJECT
    TrackerSandbox m_sandbox;
    std::unique_ptr<SearchSession> m_session;
    EventLoopWatchdog* m_watchdog = nullptr;

    void write(const QByteArray& relative, const QByteArray& text) {
        const QString path = QFile::decodeName(m_sandbox.corpus() + '/' + relative);
        QDir().mkpath(QFileInfo(path).path());
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(text) == text.size());
    }
    QStringList shownNames() const {
        QStringList names;
        for (const FileItem& item : m_session->filteredItems()) names.append(item.name());
        names.sort();
        return names;
    }
    // Runs the event loop until `done` holds; unlike QTest::qWait it never sleeps outside it,
    // which the watchdog would count.
    static bool waitUntil(const std::function<bool()>& done, int timeoutMs) {
        QEventLoop loop;
        QTimer check;
        QObject::connect(&check, &QTimer::timeout, &loop, [&] {
            if (done()) loop.quit();
        });
        check.start(5);
        QTimer::singleShot(timeoutMs, &loop, &QEventLoop::quit);
        if (!done()) loop.exec();
        return done();
    }
    bool settles(int timeoutMs) {
        return waitUntil([&] { return m_session->isSettled(); }, timeoutMs);
    }
    // Types `text`; names are shown before the index is heard from.
    void type(const QString& text) {
        m_session->queryChanged(text);
        QVERIFY(waitUntil([&] { return shownNames().contains(u"lighthouse-plan.c"_s); }, 5000));
    }
    // The test's own waits on processes block its thread: not the search's doing.
    template <typename Step>
    void outsideTheWatch(Step step) {
        m_watchdog->pause();
        step();
        m_watchdog->resume();
    }

private Q_SLOTS:
    void initTestCase() {
        write("notes/keeper.txt", "the lighthouse keeper\n");  // found by its text, by Tracker
        write("plans/lighthouse-plan.c", "int beam;\n");       // found by its name, on disk
        write("plans/other.txt", "nothing\n");
        QVERIFY2(m_sandbox.start(), qPrintable(m_sandbox.failure()));
        qInstallMessageHandler(recordMessage);
    }
    void cleanupTestCase() {
        qInstallMessageHandler(nullptr);
        m_session.reset();
        m_sandbox.stop();
    }
    void killedRestartedThenFrozen() {
        m_session = std::make_unique<SearchSession>(
            m_sandbox.corpus(), searchDependencies(IndexBackend::automatic, kEngineDebounce));
        m_session->startSearch();
        const QStringList both{u"keeper.txt"_s, u"lighthouse-plan.c"_s};
        type(u"lighthouse"_s);
        QVERIFY(settles(30000));
        QCOMPARE(shownNames(), both);
        // Watched from here: connecting the first time reads settings, and is not our concern.
        EventLoopWatchdog watchdog;
        QVERIFY2(watchdog.works(), "no schedstat for this thread");
        m_watchdog = &watchdog;

        // Killed while its query is out (stopped first, so that the query cannot finish before).
        outsideTheWatch([&] { m_sandbox.signalMiner(SIGSTOP); });
        type(u"lighthous"_s);
        QVERIFY(!settles(1000));
        outsideTheWatch([&] { m_sandbox.signalMiner(SIGKILL); });
        QVERIFY(settles(TrackerQuery::kSilenceTimeoutMs / 2));
        QCOMPARE(shownNames(), QStringList{u"lighthouse-plan.c"_s});
        type(u"lighthouse"_s);  // while no miner runs
        QVERIFY(settles(TrackerQuery::kSilenceTimeoutMs / 2));
        QCOMPARE(shownNames(), QStringList{u"lighthouse-plan.c"_s});
        QCOMPARE(loggedLines().size(), 1);

        bool restarted = false;
        outsideTheWatch([&] { restarted = m_sandbox.restartMiner(); });
        QVERIFY2(restarted, qPrintable(m_sandbox.failure()));
        type(u"lighthous"_s);
        QVERIFY(settles(30000));
        QCOMPARE(shownNames(), both);

        // Frozen: the query gives up after the silence time-out, not before.
        outsideTheWatch([&] { m_sandbox.signalMiner(SIGSTOP); });
        QElapsedTimer clock;
        clock.start();
        type(u"lighthouse"_s);
        QVERIFY(settles(TrackerQuery::kSilenceTimeoutMs * 2));
        QVERIFY2(clock.elapsed() >= TrackerQuery::kSilenceTimeoutMs,
                 QByteArray::number(clock.elapsed()));
        QCOMPARE(shownNames(), QStringList{u"lighthouse-plan.c"_s});
        QCOMPARE(loggedLines().size(), 2);
        for (const QString& line : loggedLines())
            QVERIFY2(line.startsWith(u"tarnwick.index.tracker: Tracker does not answer: "),
                     qPrintable(line));
        QVERIFY2(watchdog.longestBlockMs() < 16, QByteArray::number(watchdog.longestBlockMs()));
    }
};

TARNWICK_TEST(IndexFailureTest)
}  // namespace tarnwick::test

#include "IndexFailureTest.moc"
