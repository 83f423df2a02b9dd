#include "KeptListing.h"

#include "FolderStamps.h"
#include "PathAnchor.h"

#include <sys/stat.h>

namespace tarnwick {

bool FolderStamp::operator==(const FolderStamp& other) const {
    return device == other.device && inode == other.inode &&
           modified.tv_sec == other.modified.tv_sec && modified.tv_nsec == other.modified.tv_nsec &&
           changed.tv_sec == other.changed.tv_sec && changed.tv_nsec == other.changed.tv_nsec;
}

namespace {

// The folders of a walk, found from the order of its items: each folder's entry is followed by
// its contents, so a folder ends where an item of another folder appears.
class ListingStamper {
public:
    ListingStamper(const QByteArray& root, bool showHidden, const QList<FileItem>& items,
                   timespec start, qint64 settleNs)
        : m_showHidden(showHidden), m_items(items), m_start(start), m_settleNs(settleNs) {
        open(root, 0, nullptr);
    }

    std::vector<KeptFolder> run() {
        for (qsizetype i = 0; i < m_items.size(); ++i) {
            const FileItem& item = m_items[i];
            if (&item.folder() != m_open.back().record) {
                while (m_open.size() > 1 && m_open.back().path != item.folder().path())
                    close(quint32(i));
                m_open.back().record = &item.folder();
            }
            if (item.isDirectory())
                open(item.path(), quint32(i + 1), &m_folders[m_open.back().index]);
        }
        while (!m_open.empty()) close(quint32(m_items.size()));
        return std::move(m_folders);
    }

private:
    struct Open {
        size_t index;
        QByteArray path;
        const FolderRecord* record = nullptr;
    };

    void open(const QByteArray& path, quint32 begin, const KeptFolder* parent) {
        KeptFolder folder;
        folder.begin = begin;
        stampFolder(folder, path, parent, m_showHidden, m_start, m_settleNs);
        m_open.push_back({m_folders.size(), path});
        m_folders.push_back(folder);
    }

    void close(quint32 end) {
        KeptFolder& folder = m_folders[m_open.back().index];
        folder.end = end;
        folder.foldersEnd = quint32(m_folders.size());
        m_open.pop_back();
    }

    const bool m_showHidden;
    const QList<FileItem>& m_items;
    const timespec m_start;
    const qint64 m_settleNs;
    std::vector<KeptFolder> m_folders;
    std::vector<Open> m_open;
};

}  // namespace

KeptListingPtr keepListing(const QByteArray& root, bool showHiddenFiles, ListingPtr listing,
                           ExtensionCounts counts, timespec walkStart, qint64 settleNs) {
    auto kept = std::make_shared<KeptListing>();
    kept->root = root;
    kept->showHiddenFiles = showHiddenFiles;
    kept->folders =
        ListingStamper(root, showHiddenFiles, listing->items, walkStart, settleNs).run();
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
