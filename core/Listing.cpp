#include "Listing.h"

#include "ItemAttributes.h"
#include "NameCollation.h"
#include "WorkQueue.h"

#include <QCoreApplication>
#include <QThread>

#include <algorithm>
#include <tuple>

namespace tarnwick {

namespace {

// Letting go of a million items takes tens of milliseconds: a large listing whose last holder is
// the interface thread (a panel's new results replacing the old) is freed in the background.
constexpr qsizetype kFreedInBackground = 100000;

void freeListing(Listing* listing) {
    const QCoreApplication* app = QCoreApplication::instance();
    if (listing->items.size() < kFreedInBackground || !app ||
        QThread::currentThread() != app->thread()) {
        delete listing;
        return;
    }
    std::shared_ptr<Listing> owned(listing);
    WorkQueue::shared().start([owned] {});
}

std::shared_ptr<Listing> newListing(Listing contents = {}) {
    return std::shared_ptr<Listing>(new Listing(std::move(contents)), freeListing);
}

// `nameOrder`: worked out already, or null to work it out from the ranks.
std::shared_ptr<Listing> rankedListing(QList<FileItem> items, std::vector<quint32> nameRanks,
                                       bool hasAttributes, ItemOrder nameOrder = nullptr) {
    auto listing = newListing();
    listing->nameOrder = nameOrder ? std::move(nameOrder) : nameOrderOf(nameRanks, [&](size_t i) {
        return items[qsizetype(i)].isDirectory();
    });
    listing->nameRanks = std::move(nameRanks);
    listing->items = std::move(items);
    listing->hasAttributes = hasAttributes;
    return listing;
}

}  // namespace

ListingPtr makeListing(QList<FileItem> items, bool nameRanks, bool hasAttributes) {
    std::vector<quint32> ranks;
    if (nameRanks) ranks = computeNameRanks(items);
    return rankedListing(std::move(items), std::move(ranks), hasAttributes);
}

ListingPtr makeRankedListing(QList<FileItem> items, std::vector<quint32> nameRanks,
                             ItemOrder nameOrder) {
    return rankedListing(std::move(items), std::move(nameRanks), false, std::move(nameOrder));
}

ItemOrder nameOrderFromKept(const Listing& old, const std::vector<qint32>& origins,
                            const std::vector<quint32>& ranks,
                            const std::function<bool(size_t)>& isDirectory) {
    if (!old.nameOrder) return nullptr;
    const size_t count = ranks.size();
    std::vector<qint32> newPlace(size_t(old.items.size()), -1);
    std::vector<quint32> fresh;
    qint32 lastOrigin = -1;
    for (size_t i = 0; i < count; ++i) {
        const qint32 origin = origins[i];
        if (origin < 0) {
            fresh.push_back(quint32(i));
            // Each new item costs a binary search among the kept: beyond a few, sorting is
            // quicker.
            if (fresh.size() > count / 64) return nullptr;
            continue;
        }
        if (origin <= lastOrigin) return nullptr;
        lastOrigin = origin;
        newPlace[size_t(origin)] = qint32(i);
    }
    // nameOrderOf's order: folders first, then by rank, then in listing order. The kept items
    // are in it already in the old order: their kinds, the order of their ranks and of their
    // places are those they had.
    auto before = [&](quint32 a, quint32 b) {
        return std::tuple(!isDirectory(a), ranks[a], a) < std::tuple(!isDirectory(b), ranks[b], b);
    };
    std::sort(fresh.begin(), fresh.end(), before);
    std::vector<quint32> kept;
    kept.reserve(count - fresh.size());
    for (quint32 o : *old.nameOrder)
        if (newPlace[o] >= 0) kept.push_back(quint32(newPlace[o]));
    auto order = std::make_shared<std::vector<quint32>>();
    order->reserve(count);
    auto from = kept.begin();
    for (quint32 item : fresh) {
        const auto at = std::lower_bound(from, kept.end(), item, before);
        order->insert(order->end(), from, at);
        order->push_back(item);
        from = at;
    }
    order->insert(order->end(), from, kept.end());
    return order;
}

ListingPtr withAttributes(const Listing& listing, const std::atomic<bool>* cancelled) {
    auto out = newListing(listing);
    readAttributes(out->items, cancelled);
    if (cancelled && cancelled->load()) return nullptr;
    out->hasAttributes = true;
    return out;
}

ListingPtr withoutPaths(const Listing& listing, const QList<QByteArray>& paths) {
    auto isGone = [&](const FileItem& item) {
        const QByteArray path = item.path();
        for (const QByteArray& gone : paths) {
            if (path == gone ||
                (path.startsWith(gone) && path.at(gone.size()) == '/' && !gone.endsWith('/')))
                return true;
        }
        return false;
    };
    QList<FileItem> items;
    std::vector<quint32> ranks;
    const bool ranked = !listing.nameRanks.empty();
    for (qsizetype i = 0; i < listing.items.size(); ++i) {
        if (isGone(listing.items[i])) continue;
        items.append(listing.items[i]);
        if (ranked) ranks.push_back(listing.nameRanks[size_t(i)]);
    }
    return rankedListing(std::move(items), std::move(ranks), listing.hasAttributes);
}

}  // namespace tarnwick
