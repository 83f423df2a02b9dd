#include "NameRankMerge.h"

#include "NameCollation.h"
#include "NameOrder.h"

#include <algorithm>

namespace tarnwick {

namespace {

// Where each new name falls among the old ranks still present: 2(p+1) when it equals the p-th,
// 2(p+1)+1 when it lies between the p-th and the next (p = -1: before all).
std::vector<quint32> placeNewNames(const QList<FileItem>& old, const std::vector<qint32>& present,
                                   const QList<FileItem>& items, const NameOrder& sorted) {
    const NameCollation collation;
    std::vector<quint32> places(sorted.order.size());
    size_t low = 0;  // the new names come in order: each search starts where the last ended
    for (size_t j = 0; j < sorted.order.size(); ++j) {
        const NameCollation::Key key = collation.key(items[sorted.order[j]].name());
        size_t high = present.size();
        while (low < high) {  // the first present name above this one
            const size_t mid = low + (high - low) / 2;
            if (collation.key(old[present[mid]].name()).compare(key) <= 0)
                low = mid + 1;
            else
                high = mid;
        }
        const bool equal = low > 0 && collation.key(old[present[low - 1]].name()).compare(key) == 0;
        places[j] = quint32(2 * low + (equal ? 0 : 1));
    }
    return places;
}

}  // namespace

std::vector<quint32> mergedNameRanks(const QList<FileItem>& old,
                                     const std::vector<quint32>& oldRanks,
                                     const std::vector<qint32>& origin,
                                     const QList<FileItem>& unranked) {
    const quint32 rankCount =
        oldRanks.empty() ? 0 : *std::max_element(oldRanks.begin(), oldRanks.end()) + 1;
    std::vector<qint32> byRank(rankCount, -1);  // one old item of each rank still present
    std::vector<quint32> fresh;
    for (size_t i = 0; i < origin.size(); ++i) {
        if (origin[i] >= 0)
            byRank[oldRanks[size_t(origin[i])]] = origin[i];
        else
            fresh.push_back(quint32(i));
    }
    // Old items in rank order, and where each old rank went among them; with every rank still
    // present (names were only added, as in most edits) the ranks are their own places.
    const bool allPresent = std::find(byRank.begin(), byRank.end(), -1) == byRank.end();
    std::vector<qint32> present;
    std::vector<quint32> presentIndex;
    if (allPresent) {
        present = std::move(byRank);
    } else {
        presentIndex.resize(rankCount);
        for (quint32 r = 0; r < rankCount; ++r) {
            presentIndex[r] = quint32(present.size());
            if (byRank[r] >= 0) present.push_back(byRank[r]);
        }
    }
    const NameOrder sorted = sortedByName(unranked);
    const std::vector<quint32> places = placeNewNames(old, present, unranked, sorted);

    // One pass up the merged order: present ranks and new names between them.
    // Where each present rank ends up, written over `present`, which the pass no longer reads:
    // one array of a million fewer to fault in.
    std::vector<qint32>& finalOfPresent = present;
    std::vector<quint32> ranks(origin.size());
    qint64 rank = -1;
    size_t j = 0;
    for (size_t p = 0; p <= present.size(); ++p) {
        if (p > 0) finalOfPresent[p - 1] = qint32(++rank);
        for (; j < places.size() && places[j] == 2 * p; ++j)
            ranks[fresh[sorted.order[j]]] = quint32(rank);
        for (bool first = true; j < places.size() && places[j] == 2 * p + 1; ++j, first = false) {
            if (first || !sorted.equalsPrevious[j]) ++rank;
            ranks[fresh[sorted.order[j]]] = quint32(rank);
        }
    }
    for (size_t i = 0; i < origin.size(); ++i) {
        if (origin[i] < 0) continue;
        const quint32 oldRank = oldRanks[size_t(origin[i])];
        ranks[i] = finalOfPresent[allPresent ? oldRank : presentIndex[oldRank]];
    }
    return ranks;
}

}  // namespace tarnwick
