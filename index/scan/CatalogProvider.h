#pragma once

#include "ScopeCatalog.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QHash>
#include <QObject>
#include <QTimer>

#include <atomic>
#include <functional>
#include <memory>
#include <vector>

namespace tarnwick {

class WorkQueue;

// Hands out the catalog of a scope, walking it in the background when none is kept. Lives on the
// main thread; `ready` callbacks run there, never from within request().
//
// A catalog is reused for a minute (setLifetime) after its walk ended, then dropped, so that files
// added or removed meanwhile are seen by the next query without watching the whole tree (a
// watch per folder would exhaust the inotify limit on large trees). Files that changed in place
// are caught sooner: the text cache checks each file's size and date. At most two scopes are
// kept (memory for a million entries is tens of megabytes). A walk that no request waits for any
// more is cancelled.
class CatalogProvider : public QObject {
    Q_OBJECT
public:
    using Ready = std::function<void(const std::shared_ptr<const ScopeCatalog>& catalog)>;
    static constexpr qint64 kDefaultLifetimeMsecs = 60 * 1000;

    CatalogProvider(ScanFileFilter filter, WorkQueue& workers);
    ~CatalogProvider() override;

    void setLifetime(qint64 msecs) { m_lifetimeMsecs = msecs; }

    // Returns a ticket for withdraw().
    quint64 request(const QByteArray& scope, Ready ready);
    void withdraw(quint64 ticket);

private:
    struct Walk {
        quint64 id;
        QByteArray scope;
        bool showHiddenFiles;
        std::shared_ptr<std::atomic<bool>> cancelled;  // shared with the worker
        std::vector<std::pair<quint64, Ready>> waiters;
    };
    struct Kept {
        std::shared_ptr<const ScopeCatalog> catalog;
        QElapsedTimer age;
    };

    std::shared_ptr<const ScopeCatalog> keptCatalog(const QByteArray& scope, bool showHidden);
    void startWalk(const QByteArray& scope, bool showHidden, quint64 ticket, Ready ready);
    void walkFinished(quint64 walkId, const std::shared_ptr<const ScopeCatalog>& catalog);
    void keep(const std::shared_ptr<const ScopeCatalog>& catalog);
    void cancel(Walk& walk);
    void dropExpired();

    ScanFileFilter m_filter;
    WorkQueue& m_workers;
    std::vector<Walk> m_walks;
    std::vector<Kept> m_kept;
    QHash<quint64, Ready> m_deliveries;  // answers from a kept catalog, not yet delivered
    QTimer m_expiry;
    qint64 m_lifetimeMsecs = kDefaultLifetimeMsecs;
    quint64 m_nextId = 1;
};

}  // namespace tarnwick
