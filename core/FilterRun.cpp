#include "FilterRun.h"

#include "ExtensionKey.h"
#include "MatchScore.h"
#include "NameOrder.h"
#include "WorkQueue.h"

#include <QHash>
#include <QThread>

#include <algorithm>
#include <array>
#include <limits>
#include <optional>
#include <utility>
#include <vector>

namespace tarnwick {

namespace {

// Content hits by folder and name, so that no item's path has to be built; made once a run and
// read by every share.
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

    const QSet<QByteArray>* namesIn(const QByteArray& folder) const {
        auto it = m_namesByFolder.constFind(folder);
        return it == m_namesByFolder.constEnd() ? nullptr : &*it;
    }

private:
    QHash<QByteArray, QSet<QByteArray>> m_namesByFolder;
};

// One share's look-ups: siblings are listed together, so an item's folder is mostly the one of
// the item before.
class ContentHitLookup {
public:
    explicit ContentHitLookup(const ContentHitIndex& index) : m_index(index) {}

    bool contains(const FileItem& item) {
        if (m_index.isEmpty()) return false;
        const FolderRecord* folder = &item.folder();
        if (folder != m_lastFolder) {
            m_lastFolder = folder;
            m_lastNames = m_index.namesIn(folder->path());
        }
        if (!m_lastNames) return false;
        QByteArrayView name = item.nativeName();
        return m_lastNames->contains(QByteArray::fromRawData(name.data(), name.size()));
    }

private:
    const ContentHitIndex& m_index;
    const FolderRecord* m_lastFolder = nullptr;
    const QSet<QByteArray>* m_lastNames = nullptr;
};

struct Keyed {
    quint64 key;
    quint32 index;
};

struct ChunkResult {
    std::vector<Keyed> ranked;  // key: the score
    std::vector<quint32> contentOnly;
    bool complete = false;
};

// How many items are ranked between two looks at the cancellation: enough that looking costs
// nothing measurable, few enough that a superseded run stops within a fraction of a millisecond.
constexpr qsizetype kItemsPerCancelCheck = 4096;

void matchRange(const QList<FileItem>& items, const PreparedQuery& query,
                const ContentHitIndex& contentHits, qsizetype begin, qsizetype end,
                const RunCancelled& cancelled, ChunkResult& out) {
    Matcher matcher(query);
    ContentHitLookup hits(contentHits);
    // Pages of the room not used are never touched.
    out.ranked.reserve(size_t(end - begin));
    for (qsizetype block = begin; block < end; block += kItemsPerCancelCheck) {
        if (cancelled && cancelled()) return;
        const qsizetype blockEnd = std::min(end, block + kItemsPerCancelCheck);
        for (qsizetype i = block; i < blockEnd; ++i) {
            const FileItem& item = items[i];
            const std::optional<qint64> score = matcher.score(item);
            if (score)
                out.ranked.push_back({quint64(*score), quint32(i)});
            else if (hits.contains(item))
                out.contentOnly.push_back(quint32(i));
        }
    }
    out.complete = true;
}

// Stable least-significant-digit radix sort by `key`, 11 bits a pass (the counts stay in the
// first-level cache), skipping digits that are the same everywhere: linear in the number of items.
void radixSort(std::vector<Keyed>& items) {
    constexpr int kDigitBits = 11;
    constexpr quint64 kDigitMask = (quint64(1) << kDigitBits) - 1;
    if (items.size() < 2) return;
    quint64 differing = 0;
    for (const Keyed& k : items) differing |= k.key ^ items.front().key;
    std::vector<Keyed> buffer;
    std::array<size_t, size_t(1) << kDigitBits> counts;
    for (int shift = 0; shift < 64; shift += kDigitBits) {
        if (((differing >> shift) & kDigitMask) == 0) continue;
        buffer.resize(items.size());
        counts.fill(0);
        for (const Keyed& k : items) ++counts[(k.key >> shift) & kDigitMask];
        size_t total = 0;
        for (size_t& c : counts) total += std::exchange(c, total);
        for (const Keyed& k : items) buffer[counts[(k.key >> shift) & kDigitMask]++] = k;
        items.swap(buffer);
    }
}

// Shares of at least this many items, up to four a core: a thread whose share happens to hold
// the cheap items takes another rather than waiting for the others.
constexpr qsizetype kItemsPerMatchShare = 5000;
constexpr int kMatchSharesPerCore = 4;

// Name and path matches keyed by how far their score lies below the best, then the content-only
// hits keyed after all of them, each group in listing order; nothing once cancelled.
std::optional<std::vector<Keyed>> rankMatches(const QList<FileItem>& items, const QString& query,
                                              const QSet<QByteArray>& contentHits,
                                              const RunCancelled& cancelled) {
    const PreparedQuery prepared(query);
    const ContentHitIndex hits(contentHits);
    const qsizetype n = items.size();
    const int shares =
        int(std::clamp<qsizetype>(n / kItemsPerMatchShare, 1,
                                  kMatchSharesPerCore * std::max(1, QThread::idealThreadCount())));
    std::vector<ChunkResult> chunks(static_cast<size_t>(shares));
    WorkQueue::runShares(shares, [&](int share) {
        matchRange(items, prepared, hits, n * share / shares, n * (share + 1) / shares, cancelled,
                   chunks[size_t(share)]);
    });
    if (!std::all_of(chunks.begin(), chunks.end(), [](const ChunkResult& c) { return c.complete; }))
        return std::nullopt;

    quint64 best = 0;
    size_t count = 0;
    for (const ChunkResult& chunk : chunks) {
        for (const Keyed& r : chunk.ranked) best = std::max(best, r.key);
        count += chunk.ranked.size() + chunk.contentOnly.size();
    }
    std::vector<Keyed> matches;
    matches.reserve(count);
    for (const ChunkResult& chunk : chunks) {
        for (const Keyed& r : chunk.ranked) matches.push_back({best - r.key, r.index});
    }
    for (const ChunkResult& chunk : chunks) {
        for (quint32 index : chunk.contentOnly) matches.push_back({best + 1, index});
    }
    return matches;
}

void keepChosenExtensions(const QList<FileItem>& items, const QSet<QString>& extensions,
                          std::vector<Keyed>& shown) {
    std::erase_if(
        shown, [&](const Keyed& k) { return !extensions.contains(extensionKey(items[k.index])); });
}

// Orders like signed comparison, as an unsigned key.
inline quint64 ordered(qint64 value) {
    return quint64(value) ^ (quint64(1) << 63);
}

// The sort of sortItems, with names compared through the listing's precomputed ranks: folders
// first, each group radix-sorted by its key, ties keeping the order they come in (`shown`'s).
std::vector<quint32> sortByMode(const Listing& listing, SortMode mode, std::vector<Keyed> shown) {
    // Room for every row in both: pages neither group reaches are never touched, and counting
    // the folders first would read every row's item twice.
    std::vector<Keyed> folders, files;
    folders.reserve(shown.size());
    files.reserve(shown.size());
    for (const Keyed& k : shown) {
        const FileItem& item = listing.items[k.index];
        quint64 key = 0;
        switch (mode) {
            case SortMode::name:
                key = listing.nameRanks[k.index];
                break;
            case SortMode::dateModified:  // newest first; the missing date is the oldest
                key = ~ordered(item.modifiedMsecs());
                break;
            case SortMode::size:
                key = ~ordered(item.fileSize());
                break;
        }
        (item.isDirectory() ? folders : files).push_back({key, k.index});
    }
    radixSort(folders);
    radixSort(files);
    std::vector<quint32> order;
    order.reserve(shown.size());
    for (const Keyed& f : folders) order.push_back(f.index);
    for (const Keyed& f : files) order.push_back(f.index);
    return order;
}

// The listing's own name order kept to the rows shown: when most rows are shown, one pass over
// it costs less than sorting them. Rows of equal names and kind go by their keys, as the sort
// would have them.
std::vector<quint32> inNameOrder(const Listing& listing, const std::vector<Keyed>& shown) {
    const std::vector<quint32>& byName = *listing.nameOrder;
    // Each shown row's rank beside its key, so that the walk in name order, which visits the
    // items in no order of their own, looks up one entry an item and reads neither the ranks
    // nor the items there.
    constexpr quint64 kHidden = std::numeric_limits<quint64>::max();
    std::vector<quint64> rankAndKey(size_t(listing.items.size()), kHidden);
    for (const Keyed& k : shown)
        rankAndKey[k.index] = quint64(listing.nameRanks[k.index]) << 32 | quint32(k.key);
    // Folders come first: where the files begin tells every position's kind.
    const size_t firstFile =
        size_t(std::partition_point(byName.begin(), byName.end(),
                                    [&](quint32 i) { return listing.items[i].isDirectory(); }) -
               byName.begin());
    std::vector<quint32> order;
    order.reserve(shown.size());
    std::vector<Keyed> tied;  // rows of one name and kind, met in listing order
    quint64 tiedRank = kHidden;
    const auto placeTied = [&] {
        if (tied.size() > 1)
            std::stable_sort(tied.begin(), tied.end(),
                             [](const Keyed& a, const Keyed& b) { return a.key < b.key; });
        for (const Keyed& t : tied) order.push_back(t.index);
        tied.clear();
    };
    for (size_t p = 0; p < byName.size(); ++p) {
        const quint32 i = byName[p];
        const quint64 entry = rankAndKey[i];
        if (entry == kHidden) continue;
        // Bit 32 sets the files after the folders, as the kind does in the name order.
        const quint64 rank = (entry >> 32) | (p >= firstFile ? quint64(1) << 32 : 0);
        if (rank != tiedRank) {
            placeTied();
            tiedRank = rank;
        }
        tied.push_back({quint32(entry), i});
    }
    placeTied();
    return order;
}

// The rows in the order of `mode`, stably: rows it ties go by their keys, then in listing order.
std::vector<quint32> sortShown(const Listing& listing, SortMode mode, std::vector<Keyed> shown) {
    const QList<FileItem>& items = listing.items;
    const bool byName = mode == SortMode::name;
    const bool smallKeys = std::all_of(shown.begin(), shown.end(), [](const Keyed& k) {
        return k.key < std::numeric_limits<quint32>::max();
    });
    if (byName && listing.nameOrder && smallKeys && shown.size() * 8 >= size_t(items.size()))
        return inNameOrder(listing, shown);
    // Best score first (ties in listing order) before the stable sort by the chosen key.
    radixSort(shown);
    if (!byName || !listing.nameRanks.empty()) return sortByMode(listing, mode, std::move(shown));
    // Collated now, for this run alone: the ranking's order breaks ties.
    std::vector<quint32> order;
    order.reserve(shown.size());
    for (const Keyed& k : shown) order.push_back(k.index);
    std::vector<Keyed>().swap(shown);  // a million rows: 16 MB the collation can use
    order = sortedByName(items, std::move(order)).order;
    std::stable_partition(order.begin(), order.end(),
                          [&](quint32 i) { return items[i].isDirectory(); });
    return order;
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
    std::vector<Keyed> shown;
    if (request.query.isEmpty()) {
        shown.resize(size_t(items.size()));
        for (quint32 i = 0; i < shown.size(); ++i) shown[i] = {0, i};
    } else {
        std::optional<std::vector<Keyed>> matches =
            rankMatches(items, request.query, request.contentHits, cancelled);
        if (!matches) return {};
        shown = std::move(*matches);
    }
    if (!request.extensions.isEmpty()) keepChosenExtensions(items, request.extensions, shown);
    return Results(listingPtr, std::make_shared<const std::vector<quint32>>(
                                   sortShown(listing, request.sortMode, std::move(shown))));
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
