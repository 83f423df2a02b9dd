#include "Listing.h"

#include "NameCollation.h"

namespace tarnwick {

ListingPtr makeListing(QList<FileItem> items, bool nameRanks) {
    auto listing = std::make_shared<Listing>();
    if (nameRanks) listing->nameRanks = computeNameRanks(items);
    listing->items = std::move(items);
    return listing;
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
    const bool ranked = !listing.nameRanks.empty();
    for (qsizetype i = 0; i < listing.items.size(); ++i) {
        if (isGone(listing.items[i])) continue;
        out->items.append(listing.items[i]);
        if (ranked) out->nameRanks.push_back(listing.nameRanks[size_t(i)]);
    }
    return out;
}

}  // namespace tarnwick
