#pragma once

#include "CatalogProvider.h"
#include "ScopeCatalog.h"
#include "core/WorkQueue.h"

#include <QPointer>

namespace tarnwick {

class ScanQuery;

// What the queries of one ScanIndex share: the worker threads, the catalogs, and which query is
// scanning. Main thread only; the queries keep it alive, so it may outlive the index. Destroying
// it cancels every walk and waits for every worker.
class ScanEngine {
public:
    explicit ScanEngine(ScanFileFilter filter);
    ~ScanEngine();
    ScanEngine(const ScanEngine&) = delete;
    ScanEngine& operator=(const ScanEngine&) = delete;

    WorkQueue& workers() { return m_workers; }
    // How many workers one scan runs.
    int scanWorkers() const { return m_scanWorkers; }
    CatalogProvider& catalogs() { return m_catalogs; }
    // A query that starts scanning supersedes the one before: its work is cancelled and it
    // signals nothing more.
    void setScanningQuery(ScanQuery* query);

private:
    // Destroyed in reverse order: the catalogs cancel their walks, then the queue drops the jobs
    // not yet started and waits for the running ones.
    const int m_scanWorkers;
    WorkQueue m_workers;
    CatalogProvider m_catalogs;
    QPointer<ScanQuery> m_scanning;
};

}  // namespace tarnwick
