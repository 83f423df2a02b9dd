#include "PendingIndex.h"

#include <QList>
#include <QPointer>

namespace tarnwick {

namespace {

// A query made before the index was known; once started and resolved, it passes on the signals
// and results of the query it stands for.
class PendingQuery : public MetadataQuery {
public:
    PendingQuery(std::shared_ptr<PendingIndex::State> state, QByteArray scope,
                 MetadataPredicate predicate, QString text)
        : m_state(std::move(state)),
          m_scope(std::move(scope)),
          m_predicate(predicate),
          m_text(std::move(text)) {}

    void start() override;
    void stop() override {
        m_stopped = true;
        if (m_query) m_query->stop();
    }
    qsizetype resultCount() const override { return m_query ? m_query->resultCount() : 0; }
    QList<MetadataItem> results() const override {
        return m_query ? m_query->results() : QList<MetadataItem>();
    }
    void disableUpdates() override {
        m_updatesDisabled = true;
        if (m_query) m_query->disableUpdates();
    }
    void enableUpdates() override {
        m_updatesDisabled = false;
        if (m_query) m_query->enableUpdates();
    }

    // The index is known.
    void run();

private:
    std::shared_ptr<PendingIndex::State> m_state;
    QByteArray m_scope;
    MetadataPredicate m_predicate;
    QString m_text;
    std::unique_ptr<MetadataQuery> m_query;
    bool m_started = false;
    bool m_stopped = false;
    bool m_updatesDisabled = false;
};

}  // namespace

struct PendingIndex::State {
    IndexForScope indexForScope;
    QList<QPointer<PendingQuery>> waiting;
};

void PendingQuery::start() {
    if (m_started) return;
    m_started = true;
    if (m_state->indexForScope)
        run();
    else
        m_state->waiting.append(this);
}

void PendingQuery::run() {
    if (m_stopped) return;
    m_query = m_state->indexForScope(m_scope)->createQuery(m_scope, m_predicate, m_text);
    if (!m_query) return;
    connect(m_query.get(), &MetadataQuery::gatheringProgress, this,
            &MetadataQuery::gatheringProgress);
    connect(m_query.get(), &MetadataQuery::finishedGathering, this,
            &MetadataQuery::finishedGathering);
    connect(m_query.get(), &MetadataQuery::updated, this, &MetadataQuery::updated);
    if (m_updatesDisabled) m_query->disableUpdates();
    m_query->start();
}

PendingIndex::PendingIndex() : m_state(std::make_shared<State>()) {}

PendingIndex::~PendingIndex() = default;

std::unique_ptr<MetadataQuery> PendingIndex::createQuery(const QByteArray& scope,
                                                         MetadataPredicate predicate,
                                                         const QString& text) {
    if (m_state->indexForScope)
        return m_state->indexForScope(scope)->createQuery(scope, predicate, text);
    return std::make_unique<PendingQuery>(m_state, scope, predicate, text);
}

void PendingIndex::resolve(IndexForScope indexForScope) {
    m_state->indexForScope = std::move(indexForScope);
    const QList<QPointer<PendingQuery>> waiting = std::exchange(m_state->waiting, {});
    for (const QPointer<PendingQuery>& query : waiting)
        if (query) query->run();
}

}  // namespace tarnwick
