#include "KeptListing.h"

namespace tarnwick {

bool FolderStamp::operator==(const FolderStamp& other) const {
    return device == other.device && inode == other.inode &&
           modified.tv_sec == other.modified.tv_sec && modified.tv_nsec == other.modified.tv_nsec &&
           changed.tv_sec == other.changed.tv_sec && changed.tv_nsec == other.changed.tv_nsec;
}

KeptListingPtr keepListing(const QByteArray& root, bool showHiddenFiles, ListingPtr listing,
                           ExtensionCounts counts, std::vector<KeptFolder> folders) {
    auto kept = std::make_shared<KeptListing>();
    kept->root = root;
    kept->showHiddenFiles = showHiddenFiles;
    kept->folders = std::move(folders);
    kept->listing = std::move(listing);
    kept->pills = pillsFor(counts, true);
    kept->counts = std::move(counts);
    kept->footprint = footprintOf(*kept);
    return kept;
}

size_t footprintOf(const KeptListing& kept) {
    // Each allocation also pays the allocator's header.
    constexpr size_t kBlock = 16;
    const Listing& listing = *kept.listing;
    size_t bytes = sizeof(KeptListing) + sizeof(Listing) + 4 * kBlock +
                   size_t(listing.items.capacity()) * sizeof(FileItem) +
                   listing.nameRanks.capacity() * sizeof(quint32) +
                   (listing.nameOrder ? listing.nameOrder->capacity() * sizeof(quint32) : 0) +
                   kept.folders.capacity() * sizeof(KeptFolder);
    // A folder's first item is one of its own entries, and its entries share one record.
    for (const KeptFolder& folder : kept.folders) {
        if (folder.begin == folder.end) continue;
        const FolderRecord& record = listing.items[folder.begin].folder();
        bytes += sizeof(FolderRecord) + 4 * kBlock + record.textBytes();
    }
    return bytes;
}

}  // namespace tarnwick
