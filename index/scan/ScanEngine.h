#pragma once

#include "CatalogProvider.h"
#include "MainThreadMailbox.h"
#include "ScopeCatalog.h"

#include <QPointer>
#include <QThreadPool>

namespace tarnwick {

class ScanQuery;

// What the queries of one ScanIndex share: the worker threads, the mailbox they report through,
// the catalogs, and which query is scanning. Main thread only; the queries keep it alive, so it
// may outlive the index. Destroying it cancels every walk and waits for every worker.
class ScanEngine {
public:
    explicit ScanEngine(ScanFileFilter filter);
    ~ScanEngine();
    ScanEngine(const ScanEngine&) = delete;
    ScanEngine& operator=(const ScanEngine&) = delete;

    QThreadPool& pool() { return m_pool; }
    MainThreadMailbox& mailbox() { return m_mailbox; }
    CatalogProvider& catalogs() { return m_catalogs; }
    // A query that starts scanning supersedes the one before: its work is cancelled and it
    // signals nothing more.
    void setScanningQuery(ScanQuery* query);

private:
    // Destroyed in reverse order: the catalogs cancel their walks, the pool waits for its
    // workers, and only then goes the mailbox they post to.
    MainThreadMailbox m_mailbox;
    QThreadPool m_pool;
    CatalogProvider m_catalogs;
    QPointer<ScanQuery> m_scanning;
};

}  // namespace tarnwick
