#include "WorkQueue.h"

#include <QThread>

#include <algorithm>
#include <atomic>
#include <cerrno>

#include <sys/resource.h>

namespace tarnwick {

namespace {

// Background work yields to the interface: with every core busy listing or scanning, the main
// thread (and, in the same scheduling group, the display server it waits on) still gets a CPU at
// once. Linux keeps the nice value per thread, and threads a job starts inherit it.
constexpr int kBackgroundNiceSteps = 10;
constexpr int kLowestNice = 19;
std::atomic<bool> g_yieldToInterface{true};

void yieldToTheInterface() {
    errno = 0;
    const int current = getpriority(PRIO_PROCESS, 0);
    if (errno == 0)
        setpriority(PRIO_PROCESS, 0, std::min(current + kBackgroundNiceSteps, kLowestNice));
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

}  // namespace tarnwick
