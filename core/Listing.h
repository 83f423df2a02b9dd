#pragma once

#include "FileItem.h"

#include <QList>

#include <atomic>
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
// A listing whose ranks are known already (taken over from an earlier listing).
ListingPtr makeRankedListing(QList<FileItem> items, std::vector<quint32> nameRanks);

// The same listing with every item's size and date read (on all cores); nothing once
// `cancelled` is set.
ListingPtr withAttributes(const Listing& listing, const std::atomic<bool>* cancelled);

// The listing without the items at `paths` and everything below them (as after a move to the
// trash); the remaining items keep their order and ranks.
ListingPtr withoutPaths(const Listing& listing, const QList<QByteArray>& paths);

}  // namespace tarnwick
