#include <libtracker-sparql/tracker-sparql.h>

#include "ResultRows.h"

#include "TrackerCoverage.h"
#include "core/FileUri.h"

namespace tarnwick {

namespace {

enum Column { kUri, kSize, kModified, kDocumentModified, kIsFolder };

bool isBound(TrackerSparqlCursor* cursor, int column) {
    return tracker_sparql_cursor_get_value_type(cursor, column) !=
           TRACKER_SPARQL_VALUE_TYPE_UNBOUND;
}

std::optional<qint64> msecsAt(TrackerSparqlCursor* cursor, int column) {
    if (!isBound(cursor, column)) return std::nullopt;
    GDateTime* time = tracker_sparql_cursor_get_datetime(cursor, column);
    if (!time) return std::nullopt;
    const qint64 msecs =
        g_date_time_to_unix(time) * 1000 + g_date_time_get_microsecond(time) / 1000;
    g_date_time_unref(time);
    return msecs;
}

bool advance(TrackerSparqlCursor* cursor, GCancellable* cancellable, QString& failure) {
    GError* error = nullptr;
    const bool more = tracker_sparql_cursor_next(cursor, cancellable, &error);
    if (error) failure = QString::fromUtf8(error->message);
    g_clear_error(&error);
    return more;
}

}  // namespace

ScopeSpelling::ScopeSpelling(QByteArray indexScope, QByteArray callerScope)
    : m_indexScope(withoutTrailingSlashes(std::move(indexScope))),
      m_callerScope(withoutTrailingSlashes(std::move(callerScope))) {}

std::optional<QByteArray> ScopeSpelling::callerPath(const QByteArray& indexPath) const {
    if (indexPath == m_indexScope || !isSameOrBelow(indexPath, m_indexScope)) return std::nullopt;
    const QByteArray below = relativePath(m_indexScope, indexPath);
    return m_callerScope + (m_callerScope == "/" ? "" : "/") + below;
}

std::optional<MetadataItem> itemFromRow(const IndexRow& row, const ScopeSpelling& spelling) {
    const std::optional<QByteArray> indexPath = pathFromFileUri(row.uri);
    if (!indexPath) return std::nullopt;
    const std::optional<QByteArray> path = spelling.callerPath(withoutTrailingSlashes(*indexPath));
    if (!path) return std::nullopt;
    MetadataItem item;
    item.path = *path;
    item.fileSize = row.size;
    item.contentModifiedMsecs = row.modifiedMsecs;
    if (!row.modifiedMsecs) item.changedMsecs = row.documentModifiedMsecs;
    item.isFolder = row.isFolder;
    return item;
}

ReadOutcome readItems(TrackerSparqlCursor* cursor, GCancellable* cancellable,
                      const ScopeSpelling& spelling, std::atomic<quint64>* rowsRead) {
    ReadOutcome outcome;
    while (advance(cursor, cancellable, outcome.failure)) {
        if (rowsRead) rowsRead->fetch_add(1, std::memory_order_relaxed);
        glong length = 0;
        const char* uri = tracker_sparql_cursor_get_string(cursor, kUri, &length);
        if (!uri) continue;
        IndexRow row;
        row.uri = QByteArrayView(uri, length);
        if (isBound(cursor, kSize)) row.size = tracker_sparql_cursor_get_integer(cursor, kSize);
        row.modifiedMsecs = msecsAt(cursor, kModified);
        row.documentModifiedMsecs = msecsAt(cursor, kDocumentModified);
        row.isFolder = tracker_sparql_cursor_get_boolean(cursor, kIsFolder);
        if (std::optional<MetadataItem> item = itemFromRow(row, spelling))
            outcome.items.append(std::move(*item));
    }
    outcome.count = outcome.items.size();
    outcome.complete = outcome.failure.isEmpty();
    return outcome;
}

ReadOutcome readCount(TrackerSparqlCursor* cursor, GCancellable* cancellable) {
    ReadOutcome outcome;
    if (advance(cursor, cancellable, outcome.failure)) {
        outcome.count = tracker_sparql_cursor_get_integer(cursor, 0);
        outcome.complete = true;
    }
    return outcome;
}

std::optional<QByteArray> readSingleString(TrackerSparqlCursor* cursor, GCancellable* cancellable) {
    QString failure;
    if (!advance(cursor, cancellable, failure)) return std::nullopt;
    glong length = 0;
    const char* value = tracker_sparql_cursor_get_string(cursor, 0, &length);
    if (!value) return std::nullopt;
    return QByteArray(value, length);
}

}  // namespace tarnwick
