#include "Listing.h"

#include "ItemAttributes.h"
#include "NameCollation.h"

namespace tarnwick {

ListingPtr makeListing(QList<FileItem> items, bool nameRanks, bool hasAttributes) {
    auto listing = std::make_shared<Listing>();
    listing->hasAttributes = hasAttributes;
    if (nameRanks) listing->nameRanks = computeNameRanks(items);
    listing->items = std::move(items);
    return listing;
}

ListingPtr withAttributes(const Listing& listing, const std::atomic<bool>* cancelled) {
    auto out = std::make_shared<Listing>(listing);
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
    auto out = std::make_shared<Listing>();
    out->hasAttributes = listing.hasAttributes;
    const bool ranked = !listing.nameRanks.empty();
    for (qsizetype i = 0; i < listing.items.size(); ++i) {
        if (isGone(listing.items[i])) continue;
        out->items.append(listing.items[i]);
        if (ranked) out->nameRanks.push_back(listing.nameRanks[size_t(i)]);
    }
    return out;
}

}  // namespace tarnwick
