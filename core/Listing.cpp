#include "Listing.h"

#include "ItemAttributes.h"
#include "NameCollation.h"
#include "WorkQueue.h"

#include <QCoreApplication>
#include <QThread>

#include <algorithm>

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
