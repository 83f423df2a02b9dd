#pragma once

#include "index/MetadataQuery.h"

#include <QObject>
#include <QTimer>

#include <chrono>
#include <functional>
#include <memory>

namespace tarnwick {

// How long both engines wait after the last keystroke before they ask the index.
inline constexpr std::chrono::milliseconds kEngineDebounce{300};

// The search half that both engines share: a debounced request for a live query below one
// folder. Each request replaces the previous one; the query stays live after gathering, and its
// end of gathering and every update reach `onChange`, but only while it is the current query.
// Main thread only.
class DebouncedQuery : public QObject {
    Q_OBJECT
public:
    DebouncedQuery(std::shared_ptr<MetadataIndex> index, QByteArray scope,
                   MetadataPredicate predicate, std::chrono::milliseconds debounce);
    ~DebouncedQuery() override;

    // Restarts the wait; when it ends, a query for `text` replaces the running one.
    void schedule(const QString& text);
    // Cancels the pending wait and ends the running query.
    void stop();

    const QByteArray& scope() const { return m_scope; }

    // Called with the current query when it has gathered or updated its results.
    std::function<void(MetadataQuery& query)> onChange;

private:
    void performSearch(const QString& text);
    void queryChanged(MetadataQuery* query);

    std::shared_ptr<MetadataIndex> m_index;
    QByteArray m_scope;
    MetadataPredicate m_predicate;
    QTimer m_debounceTimer;
    QString m_pendingText;
    std::unique_ptr<MetadataQuery> m_query;
};

}  // namespace tarnwick
