#pragma once

#include "ResultRows.h"
#include "index/MetadataQuery.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QTimer>

#include <atomic>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

typedef struct _GAsyncResult GAsyncResult;
typedef struct _GCancellable GCancellable;
typedef struct _GObject GObject;
typedef struct _TrackerSparqlStatement TrackerSparqlStatement;
typedef struct _TrackerSparqlCursor TrackerSparqlCursor;

namespace tarnwick {

class TrackerSession;

// One live query against the miner's index. Statements run asynchronously on the main thread,
// their cursors are read on the session's reader threads, and each result comes back through a
// queued call that is dropped when the query has moved on (a newer run, stop, destruction).
// After gathering, index changes (coalesced) re-run the statement; a changed result is
// signalled with `updated`, unless updates are disabled, in which case it waits.
class TrackerQuery : public MetadataQuery {
    Q_OBJECT
public:
    TrackerQuery(std::shared_ptr<TrackerSession> session, const QByteArray& scope,
                 MetadataPredicate predicate, const QString& text);
    ~TrackerQuery() override;

    void start() override;
    void stop() override;
    qsizetype resultCount() const override;
    QList<MetadataItem> results() const override;
    void disableUpdates() override;
    void enableUpdates() override;

    // How long index changes are gathered before the statement runs again.
    static constexpr int kChangeCoalescingMs = 150;
    // How long a statement may go without a sign of life (its cursor, a row) before the query
    // gives up on it: a miner stopped or stuck holds its name but answers nothing, and the D-Bus
    // time-out (25 s) is longer than anyone waits for content hits. Rows of a slow but working
    // answer keep it going. The longest silence of a working miner is a text search before its
    // first row: 0.4 to 1.7 s over 56 million characters of text measured here, so this leaves
    // room for an index several times that size on a busy machine.
    static constexpr int kSilenceTimeoutMs = 10000;

private:
    // Runs on a reader thread with the statement's cursor (nullptr when the statement failed)
    // and answers what to do with the query on the main thread.
    using CursorJob =
        std::function<std::function<void(TrackerQuery&)>(TrackerSparqlCursor*, GCancellable*)>;

    void finishEmptyLater();
    void normaliseText();
    QList<QByteArray> statementTexts() const;
    void runStatement();
    TrackerSparqlStatement* prepare(const char* sparql) const;
    void beginRun();
    void execute(TrackerSparqlStatement* statement, CursorJob job);
    void readOnWorker(TrackerSparqlCursor* cursor, CursorJob job);
    static void onExecuted(GObject* source, GAsyncResult* result, void* data);

    void onSilenceCheck();
    void noteAnswer(bool complete, const QString& failure);
    void onNormalised(const std::optional<QByteArray>& normalised);
    void onShareRead(qsizetype index, const ReadOutcome& outcome);
    void onRead(const ReadOutcome& outcome);
    void applyIfChanged(const ReadOutcome& outcome);
    void onIndexChanged();
    void onChangesCoalesced();
    void rerun();
    void deliverDeferred();

    std::shared_ptr<TrackerSession> m_session;
    ScopeSpelling m_spelling;
    QByteArray m_scope;
    MetadataPredicate m_predicate;
    QString m_text;
    QByteArray m_pattern;  // the text normalised by the index and GLOB-escaped

    bool m_started = false;
    bool m_stopped = false;
    bool m_gathered = false;
    bool m_running = false;
    bool m_changePending = false;
    bool m_matchesNothing = false;
    int m_updatesDisabled = 0;
    quint64 m_run = 0;
    GCancellable* m_cancellable = nullptr;
    QTimer m_coalescing;
    QTimer m_silence;
    // Rows read by the running statement's readers; the silence check compares it with what it
    // saw last.
    std::shared_ptr<std::atomic<quint64>> m_rowsRead = std::make_shared<std::atomic<quint64>>(0);
    quint64 m_rowsSeen = 0;

    QList<MetadataItem> m_items;
    qint64 m_count = 0;
    std::optional<ReadOutcome> m_held;                        // read while updates were disabled
    std::vector<std::optional<ReadOutcome>> m_shareOutcomes;  // of the running statement
};

}  // namespace tarnwick
