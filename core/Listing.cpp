#include "Listing.h"

#include "NameCollation.h"

namespace tarnwick {

ListingPtr makeListing(QList<FileItem> items, bool nameRanks) {
    auto listing = std::make_shared<Listing>();
    if (nameRanks) listing->nameRanks = computeNameRanks(items);
    listing->items = std::move(items);
    return listing;
}

}  // namespace tarnwick
