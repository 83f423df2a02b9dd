#include "FilterRun.h"

#include "ExtensionKey.h"
#include "MatchScore.h"
#include "NameOrder.h"
#include "WorkQueue.h"

#include <QHash>
#include <QThread>

#include <algorithm>
#include <optional>
#include <utility>
#include <vector>

namespace tarnwick {

namespace {

// Content hits looked up by folder and name, so that no item's path has to be built.
class ContentHitIndex {
public:
    explicit ContentHitIndex(const QSet<QByteArray>& hits) {
        for (const QByteArray& path : hits) {
            qsizetype slash = path.lastIndexOf('/');
            if (slash < 0) continue;
            QByteArray parent = slash == 0 ? QByteArray("/") : path.left(slash);
            m_namesByFolder[parent].insert(path.mid(slash + 1));
        }
    }

    bool isEmpty() const { return m_namesByFolder.isEmpty(); }

    bool contains(const FileItem& item) {
        const FolderRecord* folder = &item.folder();
        if (folder != m_lastFolder) {
            m_lastFolder = folder;
            auto it = m_namesByFolder.constFind(folder->path());
            m_lastNames = it == m_namesByFolder.constEnd() ? nullptr : &*it;
        }
        if (!m_lastNames) return false;
        QByteArrayView name = item.nativeName();
        return m_lastNames->contains(QByteArray::fromRawData(name.data(), name.size()));
    }

private:
    QHash<QByteArray, QSet<QByteArray>> m_namesByFolder;
    const FolderRecord* m_lastFolder = nullptr;
    const QSet<QByteArray>* m_lastNames = nullptr;
};

struct Ranked {
    qint64 score;
    quint32 index;
};

struct ChunkResult {
    std::vector<Ranked> ranked;
    std::vector<quint32> contentOnly;
    bool complete = false;
};

// How many items are ranked between two looks at the cancellation: enough that looking costs
// nothing measurable, few enough that a superseded run stops within a fraction of a millisecond.
constexpr qsizetype kItemsPerCancelCheck = 4096;

void matchRange(const QList<FileItem>& items, const PreparedQuery& query,
                const QSet<QByteArray>& contentHits, qsizetype begin, qsizetype end,
                const RunCancelled& cancelled, ChunkResult& out) {
    Matcher matcher(query);
    ContentHitIndex hits(contentHits);
    for (qsizetype block = begin; block < end; block += kItemsPerCancelCheck) {
        if (cancelled && cancelled()) return;
        const qsizetype blockEnd = std::min(end, block + kItemsPerCancelCheck);
        for (qsizetype i = block; i < blockEnd; ++i) {
            const FileItem& item = items[i];
            std::optional<qint64> score = matcher.scoreName(item);
            if (!score) score = matcher.scorePath(item);
            if (score)
                out.ranked.push_back({*score, quint32(i)});
            else if (!hits.isEmpty() && hits.contains(item))
                out.contentOnly.push_back(quint32(i));
        }
    }
    out.complete = true;
}

constexpr qsizetype kItemsPerThread = 20000;

// Name and path matches by descending score (ties in listing order), then content-only hits;
// nothing once cancelled.
std::optional<std::vector<quint32>> rankMatches(const QList<FileItem>& items, const QString& query,
                                                const QSet<QByteArray>& contentHits,
                                                const RunCancelled& cancelled) {
    const PreparedQuery prepared(query);
    const qsizetype n = items.size();
    const int shares = int(
        std::clamp<qsizetype>(n / kItemsPerThread, 1, std::max(1, QThread::idealThreadCount())));
    std::vector<ChunkResult> chunks(static_cast<size_t>(shares));
    WorkQueue::runShares(shares, [&](int share) {
        matchRange(items, prepared, contentHits, n * share / shares, n * (share + 1) / shares,
                   cancelled, chunks[size_t(share)]);
    });
    if (!std::all_of(chunks.begin(), chunks.end(), [](const ChunkResult& c) { return c.complete; }))
        return std::nullopt;

    std::vector<Ranked> ranked;
    std::vector<quint32> order;
    for (ChunkResult& chunk : chunks)
        ranked.insert(ranked.end(), chunk.ranked.begin(), chunk.ranked.end());
    std::stable_sort(ranked.begin(), ranked.end(),
                     [](const Ranked& a, const Ranked& b) { return a.score > b.score; });
    order.reserve(ranked.size());
    for (const Ranked& r : ranked) order.push_back(r.index);
    for (ChunkResult& chunk : chunks)
        order.insert(order.end(), chunk.contentOnly.begin(), chunk.contentOnly.end());
    return order;
}

void keepChosenExtensions(const QList<FileItem>& items, const QSet<QString>& extensions,
                          std::vector<quint32>& order) {
    std::erase_if(order, [&](quint32 i) { return !extensions.contains(extensionKey(items[i])); });
}

struct Keyed {
    quint64 key;
    quint32 index;
};

// Stable least-significant-digit radix sort by `key`, 16 bits a pass, skipping digits that
// are the same everywhere: linear in the number of items.
void radixSort(std::vector<Keyed>& items) {
    std::vector<Keyed> buffer(items.size());
    std::vector<size_t> counts(1 << 16);
    for (int shift = 0; shift < 64; shift += 16) {
        std::fill(counts.begin(), counts.end(), 0);
        for (const Keyed& k : items) ++counts[(k.key >> shift) & 0xffff];
        if (std::find(counts.begin(), counts.end(), items.size()) != counts.end()) continue;
        size_t total = 0;
        for (size_t& c : counts) total += std::exchange(c, total);
        for (const Keyed& k : items) buffer[counts[(k.key >> shift) & 0xffff]++] = k;
        items.swap(buffer);
    }
}

// Orders like signed comparison, as an unsigned key.
inline quint64 ordered(qint64 value) {
    return quint64(value) ^ (quint64(1) << 63);
}

// The sort of sortItems, with names compared through the listing's precomputed ranks: folders
// first, each group radix-sorted by its key, ties keeping the order they came in.
void sortByMode(const Listing& listing, SortMode mode, std::vector<quint32>& order) {
    std::vector<Keyed> folders, files;
    for (quint32 i : order) {
        const FileItem& item = listing.items[i];
        quint64 key = 0;
        switch (mode) {
            case SortMode::name:
                key = listing.nameRanks[i];
                break;
            case SortMode::dateModified:  // newest first; the missing date is the oldest
                key = ~ordered(item.modifiedMsecs());
                break;
            case SortMode::size:
                key = ~ordered(item.fileSize());
                break;
        }
        (item.isDirectory() ? folders : files).push_back({key, i});
    }
    radixSort(folders);
    radixSort(files);
    size_t k = 0;
    for (const Keyed& f : folders) order[k++] = f.index;
    for (const Keyed& f : files) order[k++] = f.index;
}

}  // namespace

Results filterItems(const ListingPtr& listingPtr, const FilterRequest& request,
                    const RunCancelled& cancelled) {
    const Listing& listing = *listingPtr;
    const QList<FileItem>& items = listing.items;
    // Everything by name, as a panel opens: the order the listing worked out once.
    if (request.query.isEmpty() && request.extensions.isEmpty() &&
        request.sortMode == SortMode::name && listing.nameOrder)
        return Results(listingPtr, listing.nameOrder);
    std::vector<quint32> order;
    if (request.query.isEmpty()) {
        order.resize(size_t(items.size()));
        for (quint32 i = 0; i < order.size(); ++i) order[i] = i;
    } else {
        std::optional<std::vector<quint32>> ranked =
            rankMatches(items, request.query, request.contentHits, cancelled);
        if (!ranked) return {};
        order = std::move(*ranked);
    }
    if (!request.extensions.isEmpty()) keepChosenExtensions(items, request.extensions, order);
    if (request.sortMode == SortMode::name && listing.nameRanks.empty()) {
        // Collated now, for this run alone: the ranking's order breaks ties.
        order = sortedByName(items, std::move(order)).order;
        std::stable_partition(order.begin(), order.end(),
                              [&](quint32 i) { return items[i].isDirectory(); });
    } else {
        sortByMode(listing, request.sortMode, order);
    }
    return Results(listingPtr, std::make_shared<const std::vector<quint32>>(std::move(order)));
}

}  // namespace tarnwick

namespace tarnwick {

QList<FileItem> narrowAndSort(const QList<FileItem>& items, const QSet<QString>& extensions,
                              SortMode sortMode) {
    QList<FileItem> shown;
    for (const FileItem& item : items) {
        if (extensions.isEmpty() || extensions.contains(extensionKey(item))) shown.append(item);
    }
    sortItems(shown, sortMode);
    return shown;
}

}  // namespace tarnwick
