// Longest main-thread stall of a search panel on a large folder, and the memory its shown list
// costs. A 1 ms heartbeat timer records the gaps between its ticks: a gap is how long the event
// loop could not run, i.e. how long the panel would not have drawn or taken a key.
//
//   bench_panel_stall FOLDER [--session-only] [--query TEXT]
// --session-only runs the same search without a panel, for the memory baseline.

#include "core/SearchSession.h"
#include "panel/ResultsModel.h"
#include "panel/ResultsTableView.h"
#include "panel/SearchPanel.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QLineEdit>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <QWindow>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <memory>
#include <utility>

using namespace tarnwick;

namespace {

// The main thread's scheduler account (/proc/thread-self/schedstat): time on a CPU and time
// spent runnable but waiting for one, both in ms.
struct SchedulerTimes {
    double runningMs = 0;
    double waitingForCpuMs = 0;

    static SchedulerTimes now() {
        SchedulerTimes times;
        if (FILE* file = std::fopen("/proc/thread-self/schedstat", "r")) {
            unsigned long long running = 0, waiting = 0;
            if (std::fscanf(file, "%llu %llu", &running, &waiting) == 2)
                times = {double(running) / 1e6, double(waiting) / 1e6};
            std::fclose(file);
        }
        return times;
    }
};

// A gap between heartbeat ticks, split into time the main thread ran, time it waited for a
// CPU that other processes held (a busy machine, not the panel), and the rest, in which it
// was blocked (on the X server, a lock, a file).
struct Stall {
    double wallMs = 0;
    double runningMs = 0;
    double waitingForCpuMs = 0;
    double blockedMs() const { return std::max(0.0, wallMs - runningMs - waitingForCpuMs); }
    // What the panel itself is answerable for.
    double ownMs() const { return wallMs - waitingForCpuMs; }
};

class Heartbeat {
public:
    Heartbeat() {
        m_timer.setTimerType(Qt::PreciseTimer);
        m_timer.setInterval(1);
        QObject::connect(&m_timer, &QTimer::timeout, [this] { tick(); });
    }
    void startPhase() {
        m_longest = {};
        m_longestOwn = {};
        m_over16 = 0;
        m_ownOver16 = 0;
        m_clock.start();
        m_times = SchedulerTimes::now();
        m_timer.start();
    }
    void stopPhase() { m_timer.stop(); }
    const Stall& longest() const { return m_longest; }
    const Stall& longestOwn() const { return m_longestOwn; }
    int stallsOver16Ms() const { return m_over16; }
    int ownStallsOver16Ms() const { return m_ownOver16; }

private:
    void tick() {
        const SchedulerTimes times = SchedulerTimes::now();
        const Stall gap{double(m_clock.nsecsElapsed()) / 1e6, times.runningMs - m_times.runningMs,
                        times.waitingForCpuMs - m_times.waitingForCpuMs};
        m_clock.restart();
        m_times = times;
        if (gap.wallMs > m_longest.wallMs) m_longest = gap;
        if (gap.ownMs() > m_longestOwn.ownMs()) m_longestOwn = gap;
        if (gap.wallMs > 16.0) ++m_over16;
        if (gap.ownMs() > 16.0) ++m_ownOver16;
    }
    QTimer m_timer;
    QElapsedTimer m_clock;
    SchedulerTimes m_times;
    Stall m_longest;
    Stall m_longestOwn;
    int m_over16 = 0;
    int m_ownOver16 = 0;
};

// Times each top-level event dispatch, to name what a long stall was spent on.
class TimedApplication : public QApplication {
public:
    using QApplication::QApplication;

    bool notify(QObject* receiver, QEvent* event) override {
        if (m_depth > 0) return QApplication::notify(receiver, event);
        ++m_depth;
        const double cpuBefore = threadCpuMs();
        const bool handled = QApplication::notify(receiver, event);
        const double ms = threadCpuMs() - cpuBefore;
        --m_depth;
        if (ms > m_longestMs) {
            m_longestMs = ms;
            m_longest = QStringLiteral("%1 to %2")
                            .arg(int(event->type()))
                            .arg(QString::fromLatin1(receiver->metaObject()->className()));
        }
        return handled;
    }
    // The dispatch that cost the main thread the most CPU time since the last call, as "event
    // type to receiver class", and resets. CPU time, unlike the wall clock, does not grow when
    // other processes take the machine.
    QString takeLongest(double* ms) {
        *ms = m_longestMs;
        m_longestMs = 0;
        return std::exchange(m_longest, QString());
    }

private:
    static double threadCpuMs() {
        timespec now{};
        clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
        return double(now.tv_sec) * 1e3 + double(now.tv_nsec) / 1e6;
    }

    int m_depth = 0;
    double m_longestMs = 0;
    QString m_longest;
};

long residentKiB() {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly)) return -1;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmRSS:")) return line.mid(6).trimmed().split(' ').first().toLong();
    return -1;
}

void printStall(const char* what, const Stall& stall) {
    std::printf("  %-26s %6.1f ms = ran %.1f + blocked %.1f + waited for a CPU %.1f\n", what,
                stall.wallMs, stall.runningMs, stall.blockedMs(), stall.waitingForCpuMs);
}

void report(const char* phase, const Heartbeat& beat, double seconds) {
    std::printf(
        "%-28s longest stall %7.1f ms   stalls > 16 ms: %3d, without CPU waits: %3d"
        "   (%.2f s)\n",
        phase, beat.longest().wallMs, beat.stallsOver16Ms(), beat.ownStallsOver16Ms(), seconds);
    printStall("longest:", beat.longest());
    printStall("longest without CPU waits:", beat.longestOwn());
    double ms = 0;
    const QString longest = static_cast<TimedApplication*>(qApp)->takeLongest(&ms);
    std::printf("  most main-thread CPU in one event: %.1f ms (type %s)\n", ms,
                qPrintable(longest));
}

// Runs an event loop until `done` holds or `timeoutMs` pass. Unlike QTest::qWait and qWaitFor,
// which sleep 10 ms at a time between event batches, it waits in the event loop as the
// application does, so that every gap the heartbeat sees is the panel's own.
template <typename Done>
bool spin(Done done, int timeoutMs) {
    if (done()) return true;
    QEventLoop loop;
    QTimer poll;
    poll.setInterval(1);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (done()) loop.quit();
    });
    QTimer::singleShot(timeoutMs, &loop, &QEventLoop::quit);
    poll.start();
    loop.exec();
    return done();
}

void pause(int ms) {
    spin([] { return false; }, ms);
}

// Runs the event loop until `done` or `timeoutMs`, and `settleMs` more for the paints that
// follow, measuring stalls meanwhile.
template <typename Done>
void measure(const char* phase, Heartbeat& beat, Done done, int timeoutMs, int settleMs) {
    QElapsedTimer wall;
    wall.start();
    beat.startPhase();
    const bool finished = spin(done, timeoutMs);
    pause(settleMs);
    beat.stopPhase();
    if (!finished) std::printf("%s: timed out\n", phase);
    report(phase, beat, double(wall.elapsed()) / 1000);
}

int sessionOnly(const QByteArray& folder) {
    const long before = residentKiB();
    SearchSession session(folder, SearchSession::Dependencies{});
    QSignalSpy published(&session, &SearchSession::resultsReplaced);
    session.startSearch();
    if (!spin([&] { return !published.isEmpty(); }, 120000))
        std::printf("session only: timed out\n");
    std::printf("session only: %lld items, resident growth %ld KiB\n",
                qlonglong(session.filteredItems().size()), residentKiB() - before);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    TimedApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 2) {
        std::fprintf(stderr, "usage: bench_panel_stall FOLDER [--session-only] [--query TEXT]\n");
        return 2;
    }
    const QByteArray folder = QFile::encodeName(args.at(1));
    if (args.contains(QStringLiteral("--session-only"))) return sessionOnly(folder);
    const int queryAt = int(args.indexOf(QStringLiteral("--query")));
    const QString query = queryAt > 0 ? args.value(queryAt + 1) : QStringLiteral("report");

    Heartbeat beat;
    const long before = residentKiB();
    auto panel = std::make_unique<SearchPanel>(folder, SearchSession::Dependencies{});
    ResultsModel* model = panel->resultsModel();
    panel->show();
    // Mapping the window and its first paint, while the folder is still being listed: the
    // panel's opening, apart from what publishing costs.
    measure(
        "opening the panel", beat,
        [&] { return panel->windowHandle() && panel->windowHandle()->isExposed(); }, 5000, 50);
    if (model->rowCount() > 0) std::printf("  (the list was published while opening)\n");
    // Includes the first paint of the full list.
    measure(
        "list and publish everything", beat, [&] { return model->rowCount() > 0; }, 120000, 300);
    const qsizetype everything = model->rowCount();
    std::printf("shown: %lld rows, resident growth %ld KiB\n", qlonglong(everything),
                residentKiB() - before);

    // Typing at a brisk 80 ms per key; each key publishes a narrower list.
    QLineEdit* field = panel->searchField();
    QElapsedTimer wall;
    wall.start();
    beat.startPhase();
    for (QChar c : query) {
        QTest::keyClick(field, c.toLatin1());
        pause(80);
    }
    if (!spin([&] { return panel->session().query() == query; }, 5000))
        std::printf("typing: the query never arrived\n");
    pause(500);
    beat.stopPhase();
    report("typing the query", beat, double(wall.elapsed()) / 1000);
    std::printf("  '%s': %d rows\n", qPrintable(query), model->rowCount());

    wall.restart();
    beat.startPhase();
    for (int i = 0; i < query.size(); ++i) {
        QTest::keyClick(field, Qt::Key_Backspace);
        pause(80);
    }
    if (!spin([&] { return model->rowCount() == everything; }, 10000))
        std::printf("erasing: the full list never came back\n");
    pause(300);
    beat.stopPhase();
    report("erasing it (all rows again)", beat, double(wall.elapsed()) / 1000);

    // Scrolling through all rows: a page every frame, then jumps to the end and back.
    QScrollBar* bar = panel->resultsView()->verticalScrollBar();
    wall.restart();
    beat.startPhase();
    const int steps = 600;
    for (int i = 0; i <= steps; ++i) {
        bar->setValue(int(qint64(bar->maximum()) * i / steps));
        pause(16);
    }
    bar->setValue(0);
    pause(16);
    bar->setValue(bar->maximum());
    pause(100);
    beat.stopPhase();
    report("scrolling through all rows", beat, double(wall.elapsed()) / 1000);

    panel->close();
    return 0;
}
