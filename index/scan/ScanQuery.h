#pragma once

#include "ContentScan.h"
#include "index/MetadataQuery.h"

#include <QByteArray>

#include <memory>

namespace tarnwick {

class ScanEngine;

// A content (or name-or-content) query answered by reading the files below a scope. Signals only
// from the event loop, never from within start(): gatheringProgress with the running count as
// hits arrive, then finishedGathering once every candidate was read. It never signals `updated`:
// the scanner does not watch files, a later query sees later changes. After stop(), or once a
// newer query of the same index started scanning, it signals nothing.
class ScanQuery : public MetadataQuery {
    Q_OBJECT
public:
    ScanQuery(std::shared_ptr<ScanEngine> engine, QByteArray scope, ScanRequest request);
    ~ScanQuery() override;

    void start() override;
    void stop() override;
    qsizetype resultCount() const override { return m_results.size(); }
    QList<MetadataItem> results() const override { return m_results; }
    void disableUpdates() override { ++m_disabled; }
    void enableUpdates() override;

    // Called by the engine when a newer query starts scanning.
    void supersede();

private:
    enum class State { idle, gathering, finished, stopped };

    void catalogReady(const std::shared_ptr<const ScopeCatalog>& catalog);
    void drain();
    void publish(QList<MetadataItem> items, bool finished);
    void releaseHeld();

    std::shared_ptr<ScanEngine> m_engine;
    const QByteArray m_scope;
    const ScanRequest m_request;
    State m_state = State::idle;
    quint64 m_ticket = 0;  // catalog request
    std::shared_ptr<ScanRun> m_run;
    QList<MetadataItem> m_results;
    QList<MetadataItem> m_held;  // arrived while updates were disabled
    bool m_finishHeld = false;
    int m_disabled = 0;
};

}  // namespace tarnwick
