#include "ContentScan.h"

#include "FileContentScanner.h"
#include "core/WorkQueue.h"
#include "text/ContentFolding.h"
#include "text/NeedleSearch.h"
#include "text/Utf8Validation.h"

#include <algorithm>
#include <utility>

namespace tarnwick {

namespace {

constexpr qsizetype kNameBlock = 4096;

// The state the workers of one scan share.
struct ScanShared {
    std::shared_ptr<const ScopeCatalog> catalog;
    ScanRequest request;
    std::shared_ptr<ScanRun> run;
    std::atomic<qsizetype> nextNameBlock = 0;
    std::atomic<qsizetype> nextCandidate = 0;
};

bool nameMatches(const ScanShared& shared, const FileItem& item) {
    return foldedNameContains(item.nativeName(), shared.request.needle);
}

void matchNames(ScanShared& shared) {
    const QList<FileItem>& items = shared.catalog->items;
    for (;;) {
        const qsizetype start = shared.nextNameBlock.fetch_add(kNameBlock);
        if (start >= items.size() || shared.run->isCancelled()) return;
        const qsizetype end = std::min(items.size(), start + kNameBlock);
        for (qsizetype i = start; i < end; ++i) {
            const FileItem& item = items[i];
            if (!nameMatches(shared, item)) continue;
            MetadataItem hit =
                metadataItemForFile(item.path(), item.fileSize(), item.modifiedMsecs());
            hit.isFolder = item.isDirectory();
            if (item.isDirectory()) hit.fileSize.reset();
            if (!item.hasModified()) hit.contentModifiedMsecs.reset();
            shared.run->add(std::move(hit));
        }
    }
}

void matchContents(ScanShared& shared) {
    FileContentScanner scanner(*shared.catalog, shared.request.needle, shared.run->cancelledFlag());
    const auto& candidates = shared.catalog->candidates;
    for (;;) {
        const qsizetype index = shared.nextCandidate.fetch_add(1);
        if (index >= qsizetype(candidates.size()) || shared.run->isCancelled()) return;
        const FileItem& item = shared.catalog->items[candidates[size_t(index)].itemIndex];
        if (shared.request.matchNames && nameMatches(shared, item)) continue;  // already a hit
        if (std::optional<MetadataItem> hit = scanner.scan(index)) shared.run->add(std::move(*hit));
    }
}

}  // namespace

ScanRun::ScanRun(std::function<void()> wake) : m_wake(std::move(wake)) {}

ScanRun::Batch ScanRun::take() {
    std::lock_guard lock(m_mutex);
    m_wakePending = false;
    return {std::exchange(m_items, {}), m_finished};
}

void ScanRun::add(MetadataItem item) {
    std::unique_lock lock(m_mutex);
    m_items.append(std::move(item));
    wakeLocked(lock);
}

void ScanRun::workerFinished() {
    if (m_workersLeft.fetch_sub(1) != 1) return;
    std::unique_lock lock(m_mutex);
    m_finished = true;
    wakeLocked(lock);
}

void ScanRun::wakeLocked(std::unique_lock<std::mutex>& lock) {
    if (m_wakePending) return;
    m_wakePending = true;
    lock.unlock();
    m_wake();
}

bool foldedNameContains(QByteArrayView name, QByteArrayView needle) {
    if (isWellFormedUtf8(name)) {
        thread_local QByteArray folded;
        folded.clear();
        appendFoldedUtf8(name, folded);
        return containsBytes(folded, needle);
    }
    // A name that is not UTF-8 is matched as it is shown: decoded with replacement characters.
    return containsBytes(foldForContentMatch(QString::fromUtf8(name)).toUtf8(), needle);
}

void startScan(WorkQueue& queue, int workerCount, std::shared_ptr<const ScopeCatalog> catalog,
               ScanRequest request, std::shared_ptr<ScanRun> run) {
    auto shared = std::make_shared<ScanShared>();
    shared->catalog = std::move(catalog);
    shared->request = std::move(request);
    shared->run = std::move(run);
    const int workers = std::max(1, workerCount);
    shared->run->setWorkers(workers);
    for (int i = 0; i < workers; ++i) {
        queue.start([shared] {
            if (shared->request.matchNames) matchNames(*shared);
            matchContents(*shared);
            shared->run->workerFinished();
        });
    }
}

}  // namespace tarnwick
