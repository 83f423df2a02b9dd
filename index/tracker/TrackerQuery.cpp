#include <libtracker-sparql/tracker-sparql.h>

#include "TrackerQuery.h"

#include "GObjectRef.h"
#include "SparqlQueries.h"
#include "TrackerSession.h"

#include <QCoreApplication>
#include <QPointer>

namespace tarnwick {

namespace {

// What an asynchronous statement call carries to its callback.
struct PendingCall {
    QPointer<TrackerQuery> query;
    quint64 run;
    GObjectRef<TrackerSparqlStatement> statement;
    std::function<std::function<void(TrackerQuery&)>(TrackerSparqlCursor*, GCancellable*)> job;
};

bool sameItem(const MetadataItem& a, const MetadataItem& b) {
    return a.path == b.path && a.fileSize == b.fileSize &&
           a.contentModifiedMsecs == b.contentModifiedMsecs && a.changedMsecs == b.changedMsecs &&
           a.isFolder == b.isFolder;
}

bool sameItems(const QList<MetadataItem>& a, const QList<MetadataItem>& b) {
    if (a.size() != b.size()) return false;
    for (qsizetype i = 0; i < a.size(); ++i)
        if (!sameItem(a[i], b[i])) return false;
    return true;
}

}  // namespace

TrackerQuery::TrackerQuery(std::shared_ptr<TrackerSession> session, const QByteArray& scope,
                           MetadataPredicate predicate, const QString& text)
    : m_session(std::move(session)),
      m_spelling(m_session->coverage()->indexPathFor(scope), scope),
      m_scope(scope),
      m_predicate(predicate),
      m_text(text) {
    m_coalescing.setSingleShot(true);
    m_coalescing.setInterval(kChangeCoalescingMs);
    connect(&m_coalescing, &QTimer::timeout, this, &TrackerQuery::onChangesCoalesced);
    m_silence.setSingleShot(true);
    m_silence.setTimerType(Qt::PreciseTimer);  // a coarse one may give up 5 % early
    m_silence.setInterval(kSilenceTimeoutMs);
    connect(&m_silence, &QTimer::timeout, this, &TrackerQuery::onSilenceCheck);
}

TrackerQuery::~TrackerQuery() {
    stop();
    if (m_cancellable) g_object_unref(m_cancellable);
}

void TrackerQuery::start() {
    if (m_started || m_stopped) return;
    m_started = true;
    if (m_predicate == MetadataPredicate::everything) {
        // A count is only worth something where the index names every entry; elsewhere 0 lets
        // the folder be listed on disk.
        if (!m_session->coverage()->coversRecursively(m_scope)) return finishEmptyLater();
    } else if (m_text.isEmpty() || m_text.contains(QChar(0))) {
        // No name or indexed text holds a NUL, and an empty text asks for nothing.
        return finishEmptyLater();
    }
    connect(m_session.get(), &TrackerSession::indexChanged, this, &TrackerQuery::onIndexChanged);
    if (m_predicate == MetadataPredicate::everything)
        runStatement();
    else
        normaliseText();
}

void TrackerQuery::stop() {
    if (m_stopped) return;
    m_stopped = true;
    ++m_run;
    m_coalescing.stop();
    m_silence.stop();
    if (m_cancellable) g_cancellable_cancel(m_cancellable);
    disconnect(m_session.get(), nullptr, this, nullptr);
}

qsizetype TrackerQuery::resultCount() const {
    return m_predicate == MetadataPredicate::everything ? m_count : m_items.size();
}

QList<MetadataItem> TrackerQuery::results() const {
    return m_items;
}

void TrackerQuery::disableUpdates() {
    ++m_updatesDisabled;
}

void TrackerQuery::enableUpdates() {
    if (m_updatesDisabled == 0) return;
    if (--m_updatesDisabled > 0 || m_stopped) return;
    QMetaObject::invokeMethod(this, &TrackerQuery::deliverDeferred, Qt::QueuedConnection);
}

void TrackerQuery::finishEmptyLater() {
    QMetaObject::invokeMethod(
        this,
        [this] {
            onRead(ReadOutcome{{}, 0, true});
        },
        Qt::QueuedConnection);
}

void TrackerQuery::beginRun() {
    ++m_run;
    if (m_cancellable) {
        g_cancellable_cancel(m_cancellable);
        g_object_unref(m_cancellable);
    }
    m_cancellable = g_cancellable_new();
    m_running = true;
    m_rowsSeen = m_rowsRead->load();
    m_silence.start();
}

void TrackerQuery::onSilenceCheck() {
    if (!m_running || m_stopped) return;
    const quint64 rows = m_rowsRead->load();
    if (rows != m_rowsSeen) {
        m_rowsSeen = rows;
        m_silence.start();
        return;
    }
    noteAnswer(false, QStringLiteral("no answer for %1 s").arg(kSilenceTimeoutMs / 1000));
    // Its late answer is dropped, and its blocked reads end.
    ++m_run;
    g_cancellable_cancel(m_cancellable);
    m_shareOutcomes.clear();
    onRead(ReadOutcome{});
}

void TrackerQuery::noteAnswer(bool complete, const QString& failure) {
    if (complete)
        m_session->reportAnswer();
    else
        m_session->reportFailure(failure.isEmpty() ? QStringLiteral("the query failed") : failure);
}

TrackerSparqlStatement* TrackerQuery::prepare(const char* sparql) const {
    GError* error = nullptr;
    TrackerSparqlStatement* statement =
        tracker_sparql_connection_query_statement(m_session->connection(), sparql, nullptr, &error);
    if (error) {
        qCDebug(lcTracker) << "statement refused:" << error->message;
        g_error_free(error);
    }
    return statement;
}

void TrackerQuery::normaliseText() {
    beginRun();
    TrackerSparqlStatement* statement = prepare(sparql::kNormalisedText);
    if (statement)
        tracker_sparql_statement_bind_string(statement, "q", m_text.toUtf8().constData());
    execute(statement, [](TrackerSparqlCursor* cursor, GCancellable* cancellable) {
        std::optional<QByteArray> normalised;
        if (cursor) normalised = readSingleString(cursor, cancellable);
        return std::function<void(TrackerQuery&)>(
            [normalised](TrackerQuery& query) { query.onNormalised(normalised); });
    });
}

void TrackerQuery::onNormalised(const std::optional<QByteArray>& normalised) {
    m_running = false;
    m_silence.stop();
    noteAnswer(normalised.has_value(), {});
    if (!normalised) return onRead(ReadOutcome{});
    if (normalised->isEmpty()) {
        // Only marks that folding removes (a lone combining accent): literally, nothing.
        m_matchesNothing = true;
        return onRead(ReadOutcome{{}, 0, true});
    }
    m_pattern = sparql::escapeGlob(*normalised);
    runStatement();
}

QList<QByteArray> TrackerQuery::statementTexts() const {
    if (m_predicate == MetadataPredicate::everything) return {sparql::kCountBelow};
    QList<QByteArray> texts;
    const int shares = m_session->statementShares();
    for (int index = 0; index < shares; ++index) {
        const sparql::Share share{shares, index};
        texts.append(m_predicate == MetadataPredicate::contentContains
                         ? sparql::contentContains(share)
                         : sparql::nameOrContentContains(share));
    }
    return texts;
}

void TrackerQuery::runStatement() {
    beginRun();
    const bool counting = m_predicate == MetadataPredicate::everything;
    const QList<QByteArray> texts = statementTexts();
    m_shareOutcomes.assign(texts.size(), std::nullopt);
    const sparql::ScopeUris uris = sparql::scopeUris(m_spelling.indexScope());
    const ScopeSpelling spelling = m_spelling;
    const std::shared_ptr<std::atomic<quint64>> rowsRead = m_rowsRead;
    for (qsizetype index = 0; index < texts.size(); ++index) {
        TrackerSparqlStatement* statement = prepare(texts[index].constData());
        if (statement) {
            tracker_sparql_statement_bind_string(statement, "folder", uris.folder.constData());
            tracker_sparql_statement_bind_string(statement, "prefix", uris.prefix.constData());
            if (!counting)
                tracker_sparql_statement_bind_string(statement, "q", m_pattern.constData());
        }
        execute(statement, [counting, spelling, index, rowsRead](TrackerSparqlCursor* cursor,
                                                                 GCancellable* cancel) {
            ReadOutcome outcome;
            if (cursor)
                outcome = counting ? readCount(cursor, cancel)
                                   : readItems(cursor, cancel, spelling, rowsRead.get());
            return std::function<void(TrackerQuery&)>(
                [outcome, index](TrackerQuery& query) { query.onShareRead(index, outcome); });
        });
    }
}

void TrackerQuery::onShareRead(qsizetype index, const ReadOutcome& outcome) {
    m_shareOutcomes[size_t(index)] = outcome;
    for (const std::optional<ReadOutcome>& share : m_shareOutcomes)
        if (!share) return;
    // Joined in share order, so that an unchanged index gives an identical answer.
    ReadOutcome whole{{}, 0, true};
    for (const std::optional<ReadOutcome>& share : m_shareOutcomes) {
        whole.items.append(share->items);
        whole.count += share->count;
        whole.complete = whole.complete && share->complete;
        if (whole.failure.isEmpty()) whole.failure = share->failure;
    }
    m_shareOutcomes.clear();
    noteAnswer(whole.complete, whole.failure);
    onRead(whole);
}

void TrackerQuery::execute(TrackerSparqlStatement* statement, CursorJob job) {
    if (!statement) {
        // Nothing to wait for; still answer from the event loop, like every other outcome.
        auto apply = job(nullptr, nullptr);
        QPointer<TrackerQuery> self(this);
        const quint64 run = m_run;
        QMetaObject::invokeMethod(
            this,
            [self, run, apply] {
                if (self && self->m_run == run) apply(*self);
            },
            Qt::QueuedConnection);
        return;
    }
    auto* call = new PendingCall{this, m_run, GObjectRef<TrackerSparqlStatement>::adopt(statement),
                                 std::move(job)};
    tracker_sparql_statement_execute_async(statement, m_cancellable, &TrackerQuery::onExecuted,
                                           call);
}

void TrackerQuery::onExecuted(GObject* source, GAsyncResult* result, void* data) {
    std::unique_ptr<PendingCall> call(static_cast<PendingCall*>(data));
    GError* error = nullptr;
    auto cursor = GObjectRef<TrackerSparqlCursor>::adopt(
        tracker_sparql_statement_execute_finish(TRACKER_SPARQL_STATEMENT(source), result, &error));
    TrackerQuery* query = call->query.data();
    const bool current = query && query->m_run == call->run;  // else superseded: dropped
    if (error) {
        if (current) query->m_session->reportFailure(QString::fromUtf8(error->message));
        g_error_free(error);
    }
    if (!current) return;
    query->m_rowsRead->fetch_add(1);  // an answer, though not yet a row
    query->readOnWorker(cursor.get(), std::move(call->job));
}

void TrackerQuery::readOnWorker(TrackerSparqlCursor* cursor, CursorJob job) {
    QPointer<TrackerQuery> self(this);
    const quint64 run = m_run;
    auto cursorRef = GObjectRef<TrackerSparqlCursor>::share(cursor);
    auto cancellable = GObjectRef<GCancellable>::share(m_cancellable);
    m_session->readers().start([self, run, cursorRef, cancellable, job] {
        auto apply = job(cursorRef.get(), cancellable.get());
        // The application object lives on the main thread; the query is looked at only there.
        QMetaObject::invokeMethod(
            QCoreApplication::instance(),
            [self, run, apply] {
                if (self && self->m_run == run) apply(*self);
            },
            Qt::QueuedConnection);
    });
}

void TrackerQuery::onRead(const ReadOutcome& outcome) {
    m_running = false;
    m_silence.stop();
    if (m_stopped) return;
    if (!m_gathered) {
        // A first gathering cut short (the miner went away) still ends, with what it read.
        m_gathered = true;
        m_items = outcome.items;
        m_count = outcome.count;
        Q_EMIT gatheringProgress(m_count);
        if (m_stopped) return;
        Q_EMIT finishedGathering();
    } else if (outcome.complete) {
        // A failed re-run says nothing about the index: the last answer stands.
        if (m_updatesDisabled > 0)
            m_held = outcome;
        else
            applyIfChanged(outcome);
    }
    if (!m_stopped && m_changePending && m_updatesDisabled == 0) {
        m_changePending = false;
        rerun();
    }
}

void TrackerQuery::rerun() {
    if (m_matchesNothing) return;
    // A text that could not be normalised the first time is tried again.
    if (m_predicate != MetadataPredicate::everything && m_pattern.isEmpty())
        normaliseText();
    else
        runStatement();
}

void TrackerQuery::applyIfChanged(const ReadOutcome& outcome) {
    const bool changed = m_predicate == MetadataPredicate::everything
                             ? outcome.count != m_count
                             : !sameItems(outcome.items, m_items);
    if (!changed) return;
    m_items = outcome.items;
    m_count = outcome.count;
    Q_EMIT updated();
}

void TrackerQuery::onIndexChanged() {
    if (m_stopped || m_coalescing.isActive()) return;
    m_coalescing.start();
}

void TrackerQuery::onChangesCoalesced() {
    if (m_stopped) return;
    if (m_running || m_updatesDisabled > 0) {
        m_changePending = true;
        return;
    }
    rerun();
}

void TrackerQuery::deliverDeferred() {
    if (m_stopped || m_updatesDisabled > 0) return;
    if (m_held) {
        const ReadOutcome held = *std::exchange(m_held, std::nullopt);
        applyIfChanged(held);
        if (m_stopped || m_updatesDisabled > 0) return;
    }
    if (m_changePending && !m_running) {
        m_changePending = false;
        rerun();
    }
}

}  // namespace tarnwick
