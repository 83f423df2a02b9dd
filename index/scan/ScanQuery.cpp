#include "ScanQuery.h"

#include "ScanEngine.h"
#include "core/FileUri.h"
#include "core/MainThread.h"

#include <QPointer>

namespace tarnwick {

ScanQuery::ScanQuery(std::shared_ptr<ScanEngine> engine, QByteArray scope, ScanRequest request)
    : m_engine(std::move(engine)),
      m_scope(withoutTrailingSlashes(std::move(scope))),
      m_request(std::move(request)) {}

ScanQuery::~ScanQuery() {
    stop();
}

void ScanQuery::start() {
    if (m_state != State::idle) return;
    m_state = State::gathering;
    m_engine->setScanningQuery(this);
    QPointer<ScanQuery> self(this);
    m_ticket = m_engine->catalogs().request(
        m_scope, [self](const std::shared_ptr<const ScopeCatalog>& catalog) {
            if (self) self->catalogReady(catalog);
        });
}

void ScanQuery::stop() {
    if (m_state == State::stopped) return;
    m_state = State::stopped;
    if (m_ticket) m_engine->catalogs().withdraw(m_ticket);
    m_ticket = 0;
    if (m_run) m_run->cancel();
    m_run.reset();
}

void ScanQuery::supersede() {
    stop();
}

void ScanQuery::catalogReady(const std::shared_ptr<const ScopeCatalog>& catalog) {
    m_ticket = 0;
    if (m_state != State::gathering) return;
    if (!catalog) {
        publish({}, true);
        return;
    }
    // Workers reach this query only through the main thread, which drops their news once the
    // query is gone or stopped.
    m_run = std::make_shared<ScanRun>([self = QPointer<ScanQuery>(this)] {
        postToMainThread(self, [](ScanQuery* query) { query->drain(); });
    });
    startScan(m_engine->workers(), m_engine->scanWorkers(), catalog, m_request, m_run);
}

void ScanQuery::drain() {
    if (!m_run || m_state != State::gathering) return;
    ScanRun::Batch batch = m_run->take();
    if (batch.finished) m_run.reset();
    publish(std::move(batch.items), batch.finished);
}

void ScanQuery::enableUpdates() {
    if (m_disabled > 0) --m_disabled;
    if (m_disabled > 0 || (m_held.isEmpty() && !m_finishHeld)) return;
    QMetaObject::invokeMethod(this, &ScanQuery::releaseHeld, Qt::QueuedConnection);
}

void ScanQuery::releaseHeld() {
    if (m_disabled > 0) return;
    QList<MetadataItem> held = std::exchange(m_held, {});
    const bool finished = std::exchange(m_finishHeld, false);
    if (!held.isEmpty() || finished) publish(std::move(held), finished);
}

void ScanQuery::publish(QList<MetadataItem> items, bool finished) {
    if (m_state != State::gathering) return;
    if (m_disabled > 0) {
        m_held.append(std::move(items));
        m_finishHeld = m_finishHeld || finished;
        return;
    }
    m_results.append(std::move(items));
    if (finished) m_state = State::finished;
    // A receiver may delete this query from its slot.
    QPointer<ScanQuery> self(this);
    if (!m_results.isEmpty() || finished) Q_EMIT gatheringProgress(m_results.size());
    if (self && finished) Q_EMIT finishedGathering();
}

}  // namespace tarnwick
