#include "KeptListing.h"

namespace tarnwick {

namespace {

// Each allocation also pays the allocator's header.
constexpr size_t kBlock = 16;

}  // namespace

KeptListingPtr keepListing(const QByteArray& root, bool showHiddenFiles, ListingPtr listing,
                           ExtensionCounts counts, std::vector<KeptFolder> folders) {
    auto kept = std::make_shared<KeptListing>();
    kept->root = root;
    kept->showHiddenFiles = showHiddenFiles;
    kept->folders = std::move(folders);
    for (size_t k = 0; k < kept->folders.size(); ++k) {
        KeptFolder& folder = kept->folders[k];
        if (folder.begin != folder.end)
            folder.recordBytes = recordBytesOf(listing->items[folder.begin].folder());
        // Each folder's own item comes just before its entries.
        if (k > 0) nameFolder(*kept, folder, listing->items[folder.begin - 1].nativeName());
    }
    kept->listing = std::move(listing);
    kept->pills = pillsFor(counts, true);
    kept->counts = std::move(counts);
    kept->footprint = footprintOf(*kept);
    return kept;
}

void nameFolder(KeptListing& kept, KeptFolder& folder, QByteArrayView name) {
    folder.nameAt = quint32(kept.folderNames.size());
    folder.nameLength = quint16(name.size());
    kept.folderNames.append(name);
}

quint32 recordBytesOf(const FolderRecord& record) {
    return quint32(sizeof(FolderRecord) + 4 * kBlock + record.textBytes());
}

size_t footprintOf(const KeptListing& kept) {
    const Listing& listing = *kept.listing;
    size_t bytes = sizeof(KeptListing) + sizeof(Listing) + 4 * kBlock +
                   size_t(listing.items.capacity()) * sizeof(FileItem) +
                   listing.nameRanks.capacity() * sizeof(quint32) +
                   (listing.nameOrder ? listing.nameOrder->capacity() * sizeof(quint32) : 0) +
                   kept.folders.capacity() * sizeof(KeptFolder) +
                   size_t(kept.folderNames.capacity());
    // Summed from the folders rather than from the records themselves: those lie all over the
    // heap, and a re-open would wait for a cache miss on each of them.
    for (const KeptFolder& folder : kept.folders) bytes += folder.recordBytes;
    return bytes;
}

}  // namespace tarnwick
