#include "Listing.h"

#include "ItemAttributes.h"
#include "NameCollation.h"
#include "WorkQueue.h"

#include <QCoreApplication>
#include <QThread>

#include <algorithm>

namespace tarnwick {

namespace {

// A stable counting sort by rank, folders before files: linear in the items and ranks.
ItemOrder foldersFirstByRank(const QList<FileItem>& items, const std::vector<quint32>& ranks) {
    if (ranks.empty()) return nullptr;
    const size_t rankCount = size_t(*std::max_element(ranks.begin(), ranks.end())) + 1;
    std::vector<quint32> keys(ranks.size());
    std::vector<quint32> starts(2 * rankCount + 1, 0);
    for (size_t i = 0; i < ranks.size(); ++i) {
        keys[i] = quint32(items[qsizetype(i)].isDirectory() ? ranks[i] : rankCount + ranks[i]);
        ++starts[keys[i] + 1];
    }
    for (size_t k = 1; k < starts.size(); ++k) starts[k] += starts[k - 1];
    auto order = std::make_shared<std::vector<quint32>>(ranks.size());
    for (size_t i = 0; i < keys.size(); ++i) (*order)[starts[keys[i]]++] = quint32(i);
    return order;
}

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

std::shared_ptr<Listing> rankedListing(QList<FileItem> items, std::vector<quint32> nameRanks,
                                       bool hasAttributes) {
    auto listing = newListing();
    listing->nameOrder = foldersFirstByRank(items, nameRanks);
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

ListingPtr makeRankedListing(QList<FileItem> items, std::vector<quint32> nameRanks) {
    return rankedListing(std::move(items), std::move(nameRanks), false);
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
