#pragma once

#include "ScopeCatalog.h"
#include "index/MetadataQuery.h"

#include <QByteArray>
#include <QList>

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>

namespace tarnwick {

class WorkQueue;

// What one query asks of a catalog.
struct ScanRequest {
    QByteArray needle;        // folded UTF-8, not empty
    bool matchNames = false;  // also every entry whose folded name contains the needle
};

// The meeting point of one scan's workers and the main thread: workers add hits and wake the main
// thread once per batch; the main thread takes what has arrived. Cancelling stops the workers
// between files and inside long files within a few milliseconds.
class ScanRun {
public:
    struct Batch {
        QList<MetadataItem> items;
        bool finished = false;
    };

    // `wake` is called from a worker whenever hits wait or the run has finished (at most once
    // until the next take()); it passes the news on to the main thread.
    explicit ScanRun(std::function<void()> wake);

    void cancel() { m_cancelled.store(true); }
    bool isCancelled() const { return m_cancelled.load(std::memory_order_relaxed); }
    const std::atomic<bool>& cancelledFlag() const { return m_cancelled; }

    // Main thread: what arrived since the last call.
    Batch take();

    // Worker side.
    void add(MetadataItem item);
    void workerFinished();
    void setWorkers(int count) { m_workersLeft.store(count); }

private:
    void wakeLocked(std::unique_lock<std::mutex>& lock);

    const std::function<void()> m_wake;
    std::atomic<bool> m_cancelled = false;
    std::atomic<int> m_workersLeft = 0;
    std::mutex m_mutex;
    QList<MetadataItem> m_items;
    bool m_finished = false;
    bool m_wakePending = false;
};

// Starts `workerCount` workers of `run` on `queue`: names first (when asked), then the
// candidates' content, files handed out one at a time so that the threads stay busy whatever the
// sizes.
void startScan(WorkQueue& queue, int workerCount, std::shared_ptr<const ScopeCatalog> catalog,
               ScanRequest request, std::shared_ptr<ScanRun> run);

// Whether a file name, folded as content is, contains the folded needle.
bool foldedNameContains(QByteArrayView name, QByteArrayView needle);

}  // namespace tarnwick
