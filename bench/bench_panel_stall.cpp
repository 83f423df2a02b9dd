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
#include <QFile>
#include <QLineEdit>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <memory>
#include <utility>

using namespace tarnwick;

namespace {

class Heartbeat {
public:
    Heartbeat() {
        m_timer.setTimerType(Qt::PreciseTimer);
        m_timer.setInterval(1);
        QObject::connect(&m_timer, &QTimer::timeout, [this] { tick(); });
    }
    void startPhase() {
        m_longestMs = 0;
        m_over16 = 0;
        m_clock.start();
        m_timer.start();
    }
    void stopPhase() { m_timer.stop(); }
    double longestMs() const { return m_longestMs; }
    int stallsOver16Ms() const { return m_over16; }

private:
    void tick() {
        const double gap = double(m_clock.nsecsElapsed()) / 1e6;
        m_clock.restart();
        m_longestMs = std::max(m_longestMs, gap);
        if (gap > 16.0) ++m_over16;
    }
    QTimer m_timer;
    QElapsedTimer m_clock;
    double m_longestMs = 0;
    int m_over16 = 0;
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

void report(const char* phase, const Heartbeat& beat, double seconds) {
    std::printf("%-28s longest stall %7.1f ms   stalls > 16 ms: %3d   (%.2f s)\n", phase,
                beat.longestMs(), beat.stallsOver16Ms(), seconds);
    double ms = 0;
    const QString longest = static_cast<TimedApplication*>(qApp)->takeLongest(&ms);
    std::printf("  most main-thread CPU in one event: %.1f ms (type %s)\n", ms,
                qPrintable(longest));
}

// Runs the event loop until `done` or `timeoutMs`, measuring stalls meanwhile.
template <typename Done>
void measure(const char* phase, Heartbeat& beat, Done done, int timeoutMs = 60000) {
    QElapsedTimer wall;
    wall.start();
    beat.startPhase();
    const bool finished = QTest::qWaitFor(done, timeoutMs);
    beat.stopPhase();
    if (!finished) std::printf("%s: timed out\n", phase);
    report(phase, beat, double(wall.elapsed()) / 1000);
}

int sessionOnly(const QByteArray& folder) {
    const long before = residentKiB();
    SearchSession session(folder, SearchSession::Dependencies{});
    QSignalSpy published(&session, &SearchSession::resultsReplaced);
    session.startSearch();
    if (!QTest::qWaitFor([&] { return !published.isEmpty(); }, 120000))
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
    measure(
        "list and publish everything", beat, [&] { return model->rowCount() > 0; }, 120000);
    const qsizetype everything = model->rowCount();
    QTest::qWait(200);  // let the last paints run
    std::printf("shown: %lld rows, resident growth %ld KiB\n", qlonglong(everything),
                residentKiB() - before);

    // Typing at a brisk 80 ms per key; each key publishes a narrower list.
    QLineEdit* field = panel->searchField();
    QElapsedTimer wall;
    wall.start();
    beat.startPhase();
    for (QChar c : query) {
        QTest::keyClick(field, c.toLatin1());
        QTest::qWait(80);
    }
    if (!QTest::qWaitFor([&] { return panel->session().query() == query; }, 5000))
        std::printf("typing: the query never arrived\n");
    QTest::qWait(500);
    beat.stopPhase();
    report("typing the query", beat, double(wall.elapsed()) / 1000);
    std::printf("  '%s': %d rows\n", qPrintable(query), model->rowCount());

    wall.restart();
    beat.startPhase();
    for (int i = 0; i < query.size(); ++i) {
        QTest::keyClick(field, Qt::Key_Backspace);
        QTest::qWait(80);
    }
    if (!QTest::qWaitFor([&] { return model->rowCount() == everything; }, 10000))
        std::printf("erasing: the full list never came back\n");
    QTest::qWait(300);
    beat.stopPhase();
    report("erasing it (all rows again)", beat, double(wall.elapsed()) / 1000);

    // Scrolling through all rows: a page every frame, then jumps to the end and back.
    QScrollBar* bar = panel->resultsView()->verticalScrollBar();
    wall.restart();
    beat.startPhase();
    const int steps = 600;
    for (int i = 0; i <= steps; ++i) {
        bar->setValue(int(qint64(bar->maximum()) * i / steps));
        QTest::qWait(16);
    }
    bar->setValue(0);
    QTest::qWait(16);
    bar->setValue(bar->maximum());
    QTest::qWait(100);
    beat.stopPhase();
    report("scrolling through all rows", beat, double(wall.elapsed()) / 1000);

    panel->close();
    return 0;
}
