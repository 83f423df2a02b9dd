#pragma once

#include "index/MetadataQuery.h"

#include <QPointer>

#include <functional>
#include <memory>
#include <optional>

namespace tarnwick::test {

class FakeMetadataQuery;

// What a test knows of one query, kept after the engine has thrown the query away.
struct FakeQueryRecord {
    QByteArray scope;
    MetadataPredicate predicate = MetadataPredicate::everything;
    QString text;
    int startCalls = 0;
    int stopCalls = 0;
    int readsWhileEnabled = 0;               // results() called while updates could change them
    QPointer<FakeMetadataQuery> query = {};  // null once the query is destroyed
};

// Results and signals set by the test, even after stop(); held while updates are disabled.
class FakeMetadataQuery : public MetadataQuery {
    Q_OBJECT
public:
    explicit FakeMetadataQuery(std::shared_ptr<FakeQueryRecord> record) : m_record(record) {
        record->query = this;
    }
    void start() override { ++m_record->startCalls; }
    void stop() override { ++m_record->stopCalls; }
    qsizetype resultCount() const override { return m_count.value_or(m_results.size()); }
    QList<MetadataItem> results() const override {
        if (!updatesDisabled()) ++m_record->readsWhileEnabled;
        return m_results;
    }
    void disableUpdates() override { ++m_disabledDepth; }
    void enableUpdates() override {
        if (m_disabledDepth == 0 || --m_disabledDepth > 0 || !m_heldResults) return;
        QMetaObject::invokeMethod(this, &FakeMetadataQuery::applyHeld, Qt::QueuedConnection);
    }
    const FakeQueryRecord& record() const { return *m_record; }
    bool isStopped() const { return m_record->stopCalls > 0; }
    bool updatesDisabled() const { return m_disabledDepth > 0; }
    void setResults(QList<MetadataItem> items) { update(std::move(items), false); }
    // What resultCount() reports instead of the number of results (for count queries).
    void setCount(qsizetype count) { m_count = count; }
    void reportProgress() { Q_EMIT gatheringProgress(resultCount()); }
    void finishGathering() { Q_EMIT finishedGathering(); }
    // New results followed by `updated`.
    void update(QList<MetadataItem> items, bool signal = true) {
        if (updatesDisabled()) {
            m_heldResults = std::move(items);
            m_heldUpdateSignal = m_heldUpdateSignal || signal;
        } else {
            m_results = std::move(items);
            if (signal) Q_EMIT updated();
        }
    }

private:
    void applyHeld() {
        if (updatesDisabled() || !m_heldResults) return;  // disabled again: the next enable
        m_results = *std::exchange(m_heldResults, std::nullopt);
        if (std::exchange(m_heldUpdateSignal, false)) Q_EMIT updated();
    }
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
                                               const QString& text) override {
        m_records.append(std::make_shared<FakeQueryRecord>(scope, predicate, text));
        auto query = std::make_unique<FakeMetadataQuery>(m_records.last());
        if (onQueryCreated) onQueryCreated(*query);
        return query;
    }
    qsizetype queryCount() const { return m_records.size(); }
    const FakeQueryRecord& record(qsizetype index) const { return *m_records.at(index); }
    // Null once the engine has destroyed it.
    FakeMetadataQuery* query(qsizetype index) const { return m_records.at(index)->query; }
    FakeMetadataQuery* lastQuery() { return queryCount() ? query(queryCount() - 1) : nullptr; }
    // Called before a new query is handed out.
    std::function<void(FakeMetadataQuery&)> onQueryCreated;

private:
    QList<std::shared_ptr<FakeQueryRecord>> m_records;
};

// An item as an index reports it; only the path is required.
inline MetadataItem metadataItem(const QByteArray& path, std::optional<qint64> size = {},
                                 bool isFolder = false) {
    return {path, size, {}, {}, isFolder};
}

}  // namespace tarnwick::test
