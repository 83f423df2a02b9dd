#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>

namespace tarnwick::test {

// Ticks every few milliseconds in the event loop of the thread that makes it, and keeps the
// longest time between two ticks that the thread spent blocked: neither running nor waiting for
// a processor (the kernel's schedstat counts both) nor stolen by the hypervisor from a virtual
// processor (/proc/stat's steal, of all processors: an upper bound), less the interval the loop
// sleeps by design. A wait on a socket, a lock, a child or the disk counts; a busy machine's
// scheduling delays do not, so the bound a test sets on it holds on a loaded CI machine as on an
// idle one.
class EventLoopWatchdog : public QObject {
public:
    static constexpr int kIntervalMs = 4;

    EventLoopWatchdog()
        : m_schedstat(::open("/proc/thread-self/schedstat", O_RDONLY)),
          m_stat(::open("/proc/stat", O_RDONLY)) {
        m_timer.setTimerType(Qt::PreciseTimer);
        m_timer.setInterval(kIntervalMs);
        connect(&m_timer, &QTimer::timeout, this, &EventLoopWatchdog::tick);
        resume();
    }
    ~EventLoopWatchdog() override {
        if (m_schedstat >= 0) ::close(m_schedstat);
        if (m_stat >= 0) ::close(m_stat);
    }
    bool works() const { return m_schedstat >= 0 && m_stat >= 0; }
    // Around the test's own blocking steps (starting a process, waiting for it).
    void pause() { m_timer.stop(); }
    void resume() {
        m_last = sample();
        m_timer.start();
    }
    double longestBlockMs() const { return m_longestBlockNs / 1e6; }

private:
    struct Sample {
        qint64 wallNs = 0, runNs = 0, queuedNs = 0, stolenNs = 0;
    };
    Sample sample() const {
        Sample s{m_clock.isValid() ? m_clock.nsecsElapsed() : 0, 0, 0, 0};
        char text[160] = {};
        if (m_schedstat >= 0 && ::pread(m_schedstat, text, sizeof text - 1, 0) > 0)
            std::sscanf(text, "%lld %lld", &s.runNs, &s.queuedNs);
        long long ticks[8] = {};
        if (m_stat >= 0 && ::pread(m_stat, text, sizeof text - 1, 0) > 0)
            std::sscanf(text, "cpu %lld %lld %lld %lld %lld %lld %lld %lld", &ticks[0], &ticks[1],
                        &ticks[2], &ticks[3], &ticks[4], &ticks[5], &ticks[6], &ticks[7]);
        s.stolenNs = ticks[7] * (1000000000 / ::sysconf(_SC_CLK_TCK));
        return s;
    }
    void tick() {
        const Sample now = sample();
        const qint64 blocked = (now.wallNs - m_last.wallNs) - (now.runNs - m_last.runNs) -
                               (now.queuedNs - m_last.queuedNs) - (now.stolenNs - m_last.stolenNs) -
                               qint64(kIntervalMs) * 1000000;
        m_longestBlockNs = std::max(m_longestBlockNs, blocked);
        m_last = now;
    }

    int m_schedstat;
    int m_stat;
    QElapsedTimer m_clock = [] {
        QElapsedTimer clock;
        clock.start();
        return clock;
    }();
    QTimer m_timer;
    Sample m_last;
    qint64 m_longestBlockNs = 0;
};

}  // namespace tarnwick::test
