#include "CatalogProvider.h"

#include "core/MainThread.h"
#include "core/Preferences.h"
#include "core/WorkQueue.h"

#include <QPointer>

#include <algorithm>

namespace tarnwick {

namespace {
constexpr size_t kMostKeptScopes = 2;
}

CatalogProvider::CatalogProvider(ScanFileFilter filter, WorkQueue& workers)
    : m_filter(std::move(filter)), m_workers(workers) {
    m_expiry.setSingleShot(true);
    connect(&m_expiry, &QTimer::timeout, this, &CatalogProvider::dropExpired);
}

CatalogProvider::~CatalogProvider() {
    for (Walk& walk : m_walks) cancel(walk);
}

void CatalogProvider::cancel(Walk& walk) {
    walk.cancelled->store(true);
}

quint64 CatalogProvider::request(const QByteArray& scope, Ready ready) {
    const quint64 ticket = m_nextId++;
    const bool showHidden = Preferences::showHiddenFiles();
    if (std::shared_ptr<const ScopeCatalog> kept = keptCatalog(scope, showHidden)) {
        m_deliveries.insert(ticket, std::move(ready));
        QMetaObject::invokeMethod(
            this,
            [this, ticket, kept] {
                if (Ready deliver = m_deliveries.take(ticket)) deliver(kept);
            },
            Qt::QueuedConnection);
        return ticket;
    }
    for (Walk& walk : m_walks) {
        if (walk.scope == scope && walk.showHiddenFiles == showHidden) {
            walk.waiters.emplace_back(ticket, std::move(ready));
            return ticket;
        }
    }
    startWalk(scope, showHidden, ticket, std::move(ready));
    return ticket;
}

void CatalogProvider::withdraw(quint64 ticket) {
    m_deliveries.remove(ticket);
    for (auto walk = m_walks.begin(); walk != m_walks.end(); ++walk) {
        std::erase_if(walk->waiters,
                      [ticket](const auto& waiter) { return waiter.first == ticket; });
        if (walk->waiters.empty()) {
            cancel(*walk);
            m_walks.erase(walk);
            return;
        }
    }
}

std::shared_ptr<const ScopeCatalog> CatalogProvider::keptCatalog(const QByteArray& scope,
                                                                 bool showHidden) {
    dropExpired();
    for (const Kept& kept : m_kept) {
        if (kept.catalog->scope == scope && kept.catalog->showHiddenFiles == showHidden)
            return kept.catalog;
    }
    return nullptr;
}

void CatalogProvider::startWalk(const QByteArray& scope, bool showHidden, quint64 ticket,
                                Ready ready) {
    const quint64 id = m_nextId++;
    auto cancelled = std::make_shared<std::atomic<bool>>(false);
    // The worker reaches this provider only through the main thread, which drops the news of a
    // walk no longer listed (withdrawn) or of a provider gone.
    m_workers.start([cancelled, scope, showHidden, filter = m_filter,
                     self = QPointer<CatalogProvider>(this), id] {
        std::shared_ptr<const ScopeCatalog> catalog =
            buildScopeCatalog(scope, showHidden, filter, cancelled.get());
        if (cancelled->load()) return;
        postToMainThread(self, [id, catalog](CatalogProvider* provider) {
            provider->walkFinished(id, catalog);
        });
    });
    Walk walk{id, scope, showHidden, std::move(cancelled), {}};
    walk.waiters.emplace_back(ticket, std::move(ready));
    m_walks.push_back(std::move(walk));
}

void CatalogProvider::walkFinished(quint64 walkId,
                                   const std::shared_ptr<const ScopeCatalog>& catalog) {
    auto walk = std::find_if(m_walks.begin(), m_walks.end(),
                             [walkId](const Walk& w) { return w.id == walkId; });
    if (walk == m_walks.end()) return;
    std::vector<std::pair<quint64, Ready>> waiters = std::move(walk->waiters);
    m_walks.erase(walk);
    if (catalog) keep(catalog);
    for (auto& [ticket, ready] : waiters) ready(catalog);
}

void CatalogProvider::keep(const std::shared_ptr<const ScopeCatalog>& catalog) {
    std::erase_if(m_kept, [&catalog](const Kept& k) {
        return k.catalog->scope == catalog->scope &&
               k.catalog->showHiddenFiles == catalog->showHiddenFiles;
    });
    if (m_kept.size() >= kMostKeptScopes) m_kept.erase(m_kept.begin());
    Kept kept{catalog, {}};
    kept.age.start();
    m_kept.push_back(std::move(kept));
    m_expiry.start(int(m_lifetimeMsecs));
}

void CatalogProvider::dropExpired() {
    const qint64 lifetime = m_lifetimeMsecs;
    std::erase_if(m_kept, [lifetime](const Kept& k) { return k.age.elapsed() >= lifetime; });
    if (!m_kept.empty()) {
        const qint64 oldest = m_kept.front().age.elapsed();
        m_expiry.start(int(std::max<qint64>(0, lifetime - oldest)));
    }
}

}  // namespace tarnwick
