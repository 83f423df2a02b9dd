#include "FakeMetadataQuery.h"

#include <QMetaObject>

#include <utility>

namespace tarnwick::test {

FakeMetadataQuery::FakeMetadataQuery(std::shared_ptr<FakeQueryRecord> record)
    : m_record(std::move(record)) {
    m_record->query = this;
}

void FakeMetadataQuery::start() {
    ++m_record->startCalls;
}

void FakeMetadataQuery::stop() {
    ++m_record->stopCalls;
}

qsizetype FakeMetadataQuery::resultCount() const {
    return m_count.value_or(m_results.size());
}

QList<MetadataItem> FakeMetadataQuery::results() const {
    if (!updatesDisabled()) ++m_record->readsWhileEnabled;
    return m_results;
}

void FakeMetadataQuery::disableUpdates() {
    ++m_record->disableCalls;
    ++m_disabledDepth;
}

void FakeMetadataQuery::enableUpdates() {
    ++m_record->enableCalls;
    if (m_disabledDepth == 0 || --m_disabledDepth > 0) return;
    if (!m_heldResults && !m_heldUpdateSignal) return;
    QMetaObject::invokeMethod(this, &FakeMetadataQuery::applyHeldUpdate, Qt::QueuedConnection);
}

void FakeMetadataQuery::applyHeldUpdate() {
    if (updatesDisabled()) return;  // disabled again meanwhile: the next enable delivers it
    if (m_heldResults) m_results = *std::exchange(m_heldResults, std::nullopt);
    if (std::exchange(m_heldUpdateSignal, false)) Q_EMIT updated();
}

void FakeMetadataQuery::setResults(QList<MetadataItem> items) {
    if (updatesDisabled())
        m_heldResults = std::move(items);
    else
        m_results = std::move(items);
}

void FakeMetadataQuery::setCount(qsizetype count) {
    m_count = count;
}

void FakeMetadataQuery::reportProgress() {
    Q_EMIT gatheringProgress(resultCount());
}

void FakeMetadataQuery::finishGathering() {
    Q_EMIT finishedGathering();
}

void FakeMetadataQuery::update(QList<MetadataItem> items) {
    setResults(std::move(items));
    if (updatesDisabled())
        m_heldUpdateSignal = true;
    else
        Q_EMIT updated();
}

std::unique_ptr<MetadataQuery> FakeMetadataIndex::createQuery(const QByteArray& scope,
                                                              MetadataPredicate predicate,
                                                              const QString& text) {
    auto record = std::make_shared<FakeQueryRecord>();
    record->scope = scope;
    record->predicate = predicate;
    record->text = text;
    m_records.append(record);
    auto query = std::make_unique<FakeMetadataQuery>(record);
    if (onQueryCreated) onQueryCreated(*query);
    return query;
}

FakeMetadataQuery* FakeMetadataIndex::lastQuery() const {
    return m_records.isEmpty() ? nullptr : m_records.last()->query.data();
}

MetadataItem metadataItem(const QByteArray& path, std::optional<qint64> size, bool isFolder) {
    MetadataItem item;
    item.path = path;
    item.fileSize = size;
    item.isFolder = isFolder;
    return item;
}

}  // namespace tarnwick::test
