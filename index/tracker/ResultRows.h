#pragma once

#include "index/MetadataQuery.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>

#include <atomic>
#include <optional>

typedef struct _TrackerSparqlCursor TrackerSparqlCursor;
typedef struct _GCancellable GCancellable;

namespace tarnwick {

// Paths as the index spells them, mapped back to the spelling the caller gave the scope in
// (which may run through symbolic links).
class ScopeSpelling {
public:
    ScopeSpelling(QByteArray indexScope, QByteArray callerScope);

    const QByteArray& indexScope() const { return m_indexScope; }
    // The caller's path for an entry below the index's scope; nothing for anything else.
    std::optional<QByteArray> callerPath(const QByteArray& indexPath) const;

private:
    QByteArray m_indexScope;
    QByteArray m_callerScope;
};

// One row of an item statement, still in the index's words.
struct IndexRow {
    QByteArrayView uri;
    std::optional<qint64> size;
    std::optional<qint64> modifiedMsecs;
    std::optional<qint64> documentModifiedMsecs;
    bool isFolder = false;
};

// The item for a row: the file-system modification time is the content modification date the
// listing shows too; the document's own date stands in only where the index has no file time.
// Nothing for a row whose URI is not a file below the scope.
std::optional<MetadataItem> itemFromRow(const IndexRow& row, const ScopeSpelling& spelling);

// What reading a cursor gave: the rows read until the end, an error or cancellation.
struct ReadOutcome {
    QList<MetadataItem> items;
    qint64 count = 0;
    bool complete = false;  // false when reading stopped early; the rows so far are kept
    QString failure{};      // the endpoint's error, when reading stopped on one
};

// Blocking reads, for a worker thread. Cancelling `cancellable` ends them early. `rowsRead`, when
// given, counts the rows as they come, so that a slow answer can be told from a silent one.
ReadOutcome readItems(TrackerSparqlCursor* cursor, GCancellable* cancellable,
                      const ScopeSpelling& spelling, std::atomic<quint64>* rowsRead = nullptr);
ReadOutcome readCount(TrackerSparqlCursor* cursor, GCancellable* cancellable);
std::optional<QByteArray> readSingleString(TrackerSparqlCursor* cursor, GCancellable* cancellable);

}  // namespace tarnwick
