#include "WorkQueue.h"

#include <QThread>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <memory>

#include <sys/resource.h>
#include <unistd.h>

namespace tarnwick {

namespace {

// Background work yields to the interface: with every core busy listing or scanning, the main
// thread (and, in the same scheduling group, the display server it waits on) still gets a CPU at
// once. Linux keeps the nice value per thread (the main thread's is the process's own), and
// threads a job starts inherit it. Every queue sits the same steps below the main thread, even
// one made by background work, as a filter run's helpers are.
constexpr int kBackgroundNiceSteps = 10;
constexpr int kLowestNice = 19;
std::atomic<bool> g_yieldToInterface{true};

void yieldToTheInterface() {
    errno = 0;
    const int interface = getpriority(PRIO_PROCESS, getpid());
    if (errno == 0)
        setpriority(PRIO_PROCESS, 0, std::min(interface + kBackgroundNiceSteps, kLowestNice));
}

}  // namespace

WorkQueue::WorkQueue(int threads) {
    for (int i = 0; i < std::max(1, threads); ++i) m_threads.emplace_back([this] { work(); });
}

WorkQueue::~WorkQueue() {
    {
        std::lock_guard lock(m_mutex);
        m_jobs.clear();
        m_stopping = true;
    }
    m_wake.notify_all();
    for (std::thread& thread : m_threads) thread.join();
}

void WorkQueue::start(std::function<void()> job) {
    {
        std::lock_guard lock(m_mutex);
        m_jobs.push_back(std::move(job));
    }
    m_wake.notify_one();
}

void WorkQueue::clear() {
    std::deque<std::function<void()>> dropped;
    {
        std::lock_guard lock(m_mutex);
        dropped.swap(m_jobs);
    }
    m_idle.notify_all();
}

void WorkQueue::waitForDone() {
    std::unique_lock lock(m_mutex);
    m_idle.wait(lock, [this] { return m_jobs.empty() && m_running == 0; });
}

void WorkQueue::setYieldToInterface(bool yield) {
    g_yieldToInterface = yield;
}

void WorkQueue::work() {
    if (g_yieldToInterface) yieldToTheInterface();
    std::unique_lock lock(m_mutex);
    for (;;) {
        m_wake.wait(lock, [this] { return m_stopping || !m_jobs.empty(); });
        if (m_stopping) return;
        std::function<void()> job = std::move(m_jobs.front());
        m_jobs.pop_front();
        ++m_running;
        lock.unlock();
        job();
        job = nullptr;  // what the job holds is released here, not under the lock
        lock.lock();
        --m_running;
        if (m_jobs.empty() && m_running == 0) m_idle.notify_all();
    }
}

WorkQueue& WorkQueue::shared() {
    static WorkQueue queue(std::max(2, QThread::idealThreadCount()));
    return queue;
}

namespace {

// The shares of one runShares call. A helper that starts after the last share was taken finds
// nothing to do and returns without touching `work`, which may be gone by then.
struct Shares {
    const std::function<void(int)>* work;
    int count;
    std::atomic<int> next{0};
    std::mutex mutex;
    std::condition_variable allDone;
    int done = 0;

    // Runs shares until none is left to take.
    void take() {
        for (int share = next++; share < count; share = next++) {
            (*work)(share);
            std::lock_guard lock(mutex);
            if (++done == count) allDone.notify_all();
        }
    }
};

}  // namespace

void WorkQueue::runShares(int shares, const std::function<void(int share)>& work) {
    // Not shared(): its jobs may read whole files, and helpers queued behind them would leave
    // the caller doing every share alone.
    static WorkQueue helpers(QThread::idealThreadCount());
    auto state = std::make_shared<Shares>();
    state->work = &work;
    state->count = shares;
    for (int i = 1; i < shares; ++i) helpers.start([state] { state->take(); });
    state->take();
    std::unique_lock lock(state->mutex);
    state->allDone.wait(lock, [&] { return state->done == shares; });
}

}  // namespace tarnwick
