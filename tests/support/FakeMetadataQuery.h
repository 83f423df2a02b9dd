#pragma once

#include "index/MetadataQuery.h"

#include <QPointer>

#include <functional>
#include <memory>
#include <optional>

namespace tarnwick::test {

class FakeMetadataQuery;

// What a test knows of one query; outlives the query, so that a test can still check how an
// engine treated a query it has already thrown away.
struct FakeQueryRecord {
    QByteArray scope;
    MetadataPredicate predicate = MetadataPredicate::everything;
    QString text;
    int startCalls = 0;
    int stopCalls = 0;
    int disableCalls = 0;
    int enableCalls = 0;
    int readsWhileEnabled = 0;          // results() called while updates could change them
    QPointer<FakeMetadataQuery> query;  // null once the query is destroyed
};

// A query whose index is the test: the test sets its results and makes it signal. It follows
// the MetadataQuery contract where the engines depend on it: results do not change while
// updates are disabled, and updates held back meanwhile are signalled from the event loop
// after enableUpdates(). Signals the test asks for are emitted at once, even after stop(), so
// that late notifications can be played.
class FakeMetadataQuery : public MetadataQuery {
    Q_OBJECT
public:
    explicit FakeMetadataQuery(std::shared_ptr<FakeQueryRecord> record);

    void start() override;
    void stop() override;
    qsizetype resultCount() const override;
    QList<MetadataItem> results() const override;
    void disableUpdates() override;
    void enableUpdates() override;

    const FakeQueryRecord& record() const { return *m_record; }
    bool isStarted() const { return m_record->startCalls > 0; }
    bool isStopped() const { return m_record->stopCalls > 0; }
    bool updatesDisabled() const { return m_disabledDepth > 0; }

    // What the query holds; while updates are disabled the change waits for enableUpdates().
    void setResults(QList<MetadataItem> items);
    // What resultCount() reports instead of the number of results (for count queries).
    void setCount(qsizetype count);
    void reportProgress();
    void finishGathering();
    // New results followed by `updated`; both wait for enableUpdates() while disabled.
    void update(QList<MetadataItem> items);

private:
    void applyHeldUpdate();

    std::shared_ptr<FakeQueryRecord> m_record;
    QList<MetadataItem> m_results;
    std::optional<qsizetype> m_count;
    int m_disabledDepth = 0;
    std::optional<QList<MetadataItem>> m_heldResults;
    bool m_heldUpdateSignal = false;
};

// An index that hands out FakeMetadataQuery objects and remembers every one it made.
class FakeMetadataIndex : public MetadataIndex {
public:
    std::unique_ptr<MetadataQuery> createQuery(const QByteArray& scope, MetadataPredicate predicate,
                                               const QString& text) override;

    qsizetype queryCount() const { return m_records.size(); }
    const FakeQueryRecord& record(qsizetype index) const { return *m_records.at(index); }
    // Null once the engine has destroyed it.
    FakeMetadataQuery* query(qsizetype index) const { return m_records.at(index)->query; }
    FakeMetadataQuery* lastQuery() const;

    // Called with each new query before it is handed out.
    std::function<void(FakeMetadataQuery&)> onQueryCreated;

private:
    QList<std::shared_ptr<FakeQueryRecord>> m_records;
};

// An item as an index reports it; only the path is required.
MetadataItem metadataItem(const QByteArray& path, std::optional<qint64> size = std::nullopt,
                          bool isFolder = false);

}  // namespace tarnwick::test
