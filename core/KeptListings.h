#pragma once

#include "KeptListing.h"

#include <QByteArray>

#include <list>
#include <mutex>

namespace tarnwick {

// The listings the running application keeps between panels, the least recently used dropped
// first once they hold more than the budget. A listing some panel still uses (a holder of its
// pointer besides this store) is never dropped: its memory is taken either way. Any thread.
class KeptListings {
public:
    static constexpr size_t kDefaultBudget = size_t(256) << 20;

    explicit KeptListings(size_t budgetBytes = kDefaultBudget);

    // The kept listing of `folder` or, failing that, of the nearest folder above it, listed with
    // the same hidden-files choice; null when there is none.
    KeptListingPtr find(const QByteArray& folder, bool showHiddenFiles);
    // Keeps `listing` as the newest, in place of one of the same folder and of those below it
    // (it holds theirs).
    void keep(KeptListingPtr listing);
    // Drops the least recently used unused listings until the rest fit the budget.
    void trim();

    size_t footprint() const;
    size_t count() const;

private:
    void trimLocked();

    const size_t m_budget;
    mutable std::mutex m_mutex;
    std::list<KeptListingPtr> m_listings;  // most recently used first
};

// Whether `folder` is `root` or lies below it.
bool isAtOrBelow(const QByteArray& folder, const QByteArray& root);

}  // namespace tarnwick
