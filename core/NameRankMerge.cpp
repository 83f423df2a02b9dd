#include "NameRankMerge.h"

#include "NameCollation.h"
#include "NameOrder.h"

#include <algorithm>

namespace tarnwick {

namespace {

// Where each new name falls among `count` old names in rank order, `nameAt(p)` the p-th: 2(p+1)
// when it equals the p-th, 2(p+1)+1 when it lies between the p-th and the next (p = -1: before
// all).
template <typename NameAt>
std::vector<quint32> placeNewNames(size_t count, NameAt nameAt, const QList<FileItem>& items,
                                   const NameOrder& sorted) {
    const NameCollation collation;
    std::vector<quint32> places(sorted.order.size());
    size_t low = 0;  // the new names come in order: each search starts where the last ended
    for (size_t j = 0; j < sorted.order.size(); ++j) {
        const NameCollation::Key key = collation.key(items[sorted.order[j]].name());
        size_t high = count;
        while (low < high) {  // the first old name above this one
            const size_t mid = low + (high - low) / 2;
            if (collation.key(nameAt(mid)).compare(key) <= 0)
                low = mid + 1;
            else
                high = mid;
        }
        const bool equal = low > 0 && collation.key(nameAt(low - 1)).compare(key) == 0;
        places[j] = quint32(2 * low + (equal ? 0 : 1));
    }
    return places;
}

// An item of each rank of a listing, found in its name order (folders by rank, then files by
// rank) when asked: a new name is placed in a few dozen looks, and a table of every rank would
// cost a pass over the whole listing.
class ItemOfRank {
public:
    explicit ItemOfRank(const Listing& listing)
        : m_listing(listing),
          m_order(*listing.nameOrder),
          m_folders(size_t(
              std::partition_point(m_order.begin(), m_order.end(),
                                   [&](quint32 i) { return listing.items[i].isDirectory(); }) -
              m_order.begin())) {}

    QString operator()(size_t rank) const {
        const auto byRank = [&](quint32 i, size_t r) { return m_listing.nameRanks[i] < r; };
        const auto folders = m_order.begin() + qsizetype(m_folders);
        auto at = std::lower_bound(m_order.begin(), folders, rank, byRank);
        if (at == folders || m_listing.nameRanks[*at] != rank)
            at = std::lower_bound(folders, m_order.end(), rank, byRank);
        return m_listing.items[*at].name();
    }

private:
    const Listing& m_listing;
    const std::vector<quint32>& m_order;
    const size_t m_folders;
};

}  // namespace

std::vector<quint32> mergedNameRanks(const Listing& old, const std::vector<qint32>& origin,
                                     const QList<FileItem>& unranked) {
    const std::vector<quint32>& oldRanks = old.nameRanks;
    const quint32 rankCount =
        oldRanks.empty() ? 0 : *std::max_element(oldRanks.begin(), oldRanks.end()) + 1;
    std::vector<quint32> fresh;
    size_t taken = 0;
    for (size_t i = 0; i < origin.size(); ++i) {
        if (origin[i] >= 0)
            ++taken;
        else
            fresh.push_back(quint32(i));
    }
    // With every old item still there (names were only added, as in most edits) every old rank
    // keeps its place among the old ranks. Otherwise the ranks still present are numbered anew:
    // `present` holds an old item of each, `presentIndex` where each old rank went among them.
    const bool allPresent = taken == size_t(old.items.size());
    std::vector<qint32> present;
    std::vector<quint32> presentIndex;
    std::vector<quint32> places;
    const NameOrder sorted = sortedByName(unranked);
    if (allPresent) {
        places = placeNewNames(rankCount, ItemOfRank(old), unranked, sorted);
    } else {
        std::vector<qint32> byRank(rankCount, -1);
        for (qint32 o : origin)
            if (o >= 0) byRank[oldRanks[size_t(o)]] = o;
        presentIndex.resize(rankCount);
        for (quint32 r = 0; r < rankCount; ++r) {
            presentIndex[r] = quint32(present.size());
            if (byRank[r] >= 0) present.push_back(byRank[r]);
        }
        places = placeNewNames(
            present.size(), [&](size_t p) { return old.items[present[p]].name(); }, unranked,
            sorted);
    }
    const size_t presentCount = allPresent ? rankCount : present.size();

    // One pass up the merged order: present ranks and new names between them, noting where each
    // present rank ends up.
    std::vector<quint32> finalOfPresent(presentCount);
    std::vector<quint32> ranks(origin.size());
    qint64 rank = -1;
    size_t j = 0;
    for (size_t p = 0; p <= presentCount; ++p) {
        if (p > 0) finalOfPresent[p - 1] = quint32(++rank);
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
