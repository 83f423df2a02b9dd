#pragma once

#include <QString>

#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

namespace tarnwick {

// Background threads running jobs in submission order: one thread makes a serial queue. Built
// on the standard library's mutexes rather than QThreadPool, whose futex-based locks
// ThreadSanitizer cannot see, so that the threaded code can be checked for real races.
class WorkQueue {
public:
    explicit WorkQueue(int threads);
    // Drops the jobs not yet started and waits for the running ones.
    ~WorkQueue();
    WorkQueue(const WorkQueue&) = delete;
    WorkQueue& operator=(const WorkQueue&) = delete;

    void start(std::function<void()> job);
    // Drops the jobs not yet started.
    void clear();
    // Waits until every job queued so far has run.
    void waitForDone();

    // For independent jobs of the whole application (one thread per core).
    static WorkQueue& shared();
    // Whether threads started from now on run below the priority of the thread that starts
    // them (the default); a process without an interface to yield to (a search from the
    // terminal) keeps its own.
    static void setYieldToInterface(bool yield);

    // Runs work(0) ... work(shares - 1) at once and returns when all have run: the calling
    // thread takes shares itself, and a pool of one thread per core, kept for such short
    // helpers, takes the others. The caller runs every share no helper has started yet and waits
    // only for started ones, so it never waits on a queue, whichever thread it runs on.
    static void runShares(int shares, const std::function<void(int share)>& work);

private:
    void work();

    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::condition_variable m_idle;
    std::deque<std::function<void()>> m_jobs;
    int m_running = 0;
    bool m_stopping = false;
    std::vector<std::thread> m_threads;
};

}  // namespace tarnwick
