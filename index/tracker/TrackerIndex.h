#pragma once

#include "TrackerCoverage.h"
#include "index/DesktopIndex.h"

#include <QByteArray>
#include <QObject>
#include <QString>

#include <functional>
#include <memory>

namespace tarnwick {

class TrackerSession;

// The desktop's Tracker 3 file index (the miner's SPARQL endpoint on the session bus) as a
// DesktopIndex. Lives on the main thread, which must run an event loop (Qt's GLib dispatcher
// delivers the library's callbacks there); nothing here blocks it except connectNow().
class TrackerIndex : public DesktopIndex {
public:
    static constexpr int kDefaultConnectTimeoutMs = 1000;

    // Connects to the miner on a D-Bus connection of our own and calls `done` on the main thread
    // with the index, or with nullptr when there is no session bus, no miner, or no answer
    // within `timeoutMs`. `done` is not called once `context` is destroyed.
    static void connectAsync(QObject* context,
                             std::function<void(std::unique_ptr<TrackerIndex>)> done,
                             int timeoutMs = kDefaultConnectTimeoutMs);
    // The same, waiting in a local event loop (for the terminal mode).
    static std::unique_ptr<TrackerIndex> connectNow(int timeoutMs = kDefaultConnectTimeoutMs);

    ~TrackerIndex() override;

    std::unique_ptr<MetadataQuery> createQuery(const QByteArray& scope, MetadataPredicate predicate,
                                               const QString& text) override;

    // See TrackerCoverage; both may be called from any thread while the index lives.
    bool coversRecursively(const QByteArray& scope) const override;
    bool mayHaveReadText(const QByteArray& path, qint64 size) const;
    // For work that may outlive the index.
    std::shared_ptr<const TrackerCoverage> coverage() const;
    TextCoverage textCoverage() const override;

    // Text statements run in this many parts at once (one per core unless set); queries made
    // afterwards use it. For comparing splits in tests and benchmarks.
    void setStatementShares(int count);
    int statementShares() const;

private:
    friend class TrackerConnector;
    explicit TrackerIndex(std::shared_ptr<TrackerSession> session);

    std::shared_ptr<TrackerSession> m_session;
};

}  // namespace tarnwick
