#pragma once

#include "FileItem.h"

#include <QList>

#include <algorithm>
#include <atomic>
#include <functional>
#include <memory>
#include <vector>

namespace tarnwick {

using ItemOrder = std::shared_ptr<const std::vector<quint32>>;

// A folder listing as the filter runs use it: the items in walk order, and what every run would
// otherwise derive again (each item's place in the name order). Immutable once made, shared by
// the runs that read it.
struct Listing {
    QList<FileItem> items;
    // Empty when not computed: a run then collates the names of its own results.
    std::vector<quint32> nameRanks;
    // With the ranks: every item's position, folders first, then by name (equal names in walk
    // order). What a panel without query or pills shows, shared by all such runs.
    ItemOrder nameOrder;
    // Every item's size and date have been read (the sorts by date and size need them).
    bool hasAttributes = false;
};

using ListingPtr = std::shared_ptr<const Listing>;

// With `nameRanks` the listing pays for collating every name once, so that later runs sort
// integers: worth it for a panel that filters many times, not for a single run.
ListingPtr makeListing(QList<FileItem> items, bool nameRanks = true, bool hasAttributes = false);
// A listing whose ranks are known already (taken over from an earlier listing), and its name
// order too when that was worked out before the items were at hand.
ListingPtr makeRankedListing(QList<FileItem> items, std::vector<quint32> nameRanks,
                             ItemOrder nameOrder = nullptr);

// The name order of items whose ranks are `ranks`: folders first, each kind by rank, equal ranks
// in listing order. `isDirectory(i)` tells the i-th item's kind, asked once an item, in order.
template <typename IsDirectory>
ItemOrder nameOrderOf(const std::vector<quint32>& ranks, IsDirectory isDirectory);

// The name order of a listing made from `old` by revalidation: `origins` gives each item's place
// in `old`, where an item of the same name and kind was (-1 for none), `ranks` are merged from
// old's (so that the ranks of the items kept keep their order) and `isDirectory(i)` tells the
// i-th item's kind, asked only while placing the new items, a few dozen times each. The old
// order with the kept items put at their new places, the others placed among them: nameOrderOf's
// order without sorting a million items again. Null when it cannot be had so (kept items out of
// their old listing order, or more than a few new ones): the caller sorts.
ItemOrder nameOrderFromKept(const Listing& old, const std::vector<qint32>& origins,
                            const std::vector<quint32>& ranks,
                            const std::function<bool(size_t)>& isDirectory);

// The same listing with every item's size and date read (on all cores); nothing once
// `cancelled` is set.
ListingPtr withAttributes(const Listing& listing, const std::atomic<bool>* cancelled);

// The listing without the items at `paths` and everything below them (as after a move to the
// trash); the remaining items keep their order and ranks.
ListingPtr withoutPaths(const Listing& listing, const QList<QByteArray>& paths);

// A stable counting sort: linear in the items and ranks.
template <typename IsDirectory>
ItemOrder nameOrderOf(const std::vector<quint32>& ranks, IsDirectory isDirectory) {
    if (ranks.empty()) return nullptr;
    const size_t rankCount = size_t(*std::max_element(ranks.begin(), ranks.end())) + 1;
    std::vector<quint32> keys(ranks.size());
    std::vector<quint32> starts(2 * rankCount + 1, 0);
    for (size_t i = 0; i < ranks.size(); ++i) {
        keys[i] = quint32(isDirectory(i) ? ranks[i] : rankCount + ranks[i]);
        ++starts[keys[i] + 1];
    }
    for (size_t k = 1; k < starts.size(); ++k) starts[k] += starts[k - 1];
    auto order = std::make_shared<std::vector<quint32>>(ranks.size());
    for (size_t i = 0; i < keys.size(); ++i) (*order)[starts[keys[i]]++] = quint32(i);
    return order;
}

}  // namespace tarnwick
