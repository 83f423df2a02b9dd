#pragma once

#include "ExtensionPills.h"
#include "Listing.h"

#include <QByteArray>

#include <atomic>
#include <ctime>
#include <memory>
#include <vector>

#include <sys/types.h>

namespace tarnwick {

// How long before a read an edit must lie for the read to be trusted to include it: longer than
// a clock tick and than the two seconds of the coarsest file-system times.
inline constexpr qint64 kSettleNs = 2'100'000'000;

// What a folder looked like when its entries were read: any edit of its entries moves its change
// time (which no program can set), and a folder put in its place has another inode. Times are
// nanoseconds since the epoch in one word each: a kept million-item tree holds about 85,000 of
// these, written out again by every re-open.
struct FolderStamp {
    dev_t device = 0;
    ino_t inode = 0;
    qint64 modifiedNs = 0;
    qint64 changedNs = 0;
    bool operator==(const FolderStamp& other) const = default;
};

// One folder of a kept listing, in the walk's order (each folder before the folders below it).
struct KeptFolder {
    enum : quint8 {
        kTrusted = 1,     // stamped safely after the last edit; re-read when not
        kHiddenList = 2,  // had a ".hidden" file (only recorded while hidden files are hidden)
        kRemote = 4,      // on a file system whose times may not follow edits: always re-read
    };
    quint32 begin = 0;  // its contents in the listing: [begin, end)
    quint32 end = 0;
    quint32 foldersEnd = 0;  // one past the last folder below it
    quint8 flags = 0;
    quint16 nameLength = 0;  // its name in KeptListing::folderNames, at nameAt (none for the root)
    // What the record its entries share holds (see footprintOf); 0 for an empty folder.
    quint32 recordBytes = 0;
    quint32 nameAt = 0;
    FolderStamp stamp;
    FolderStamp hiddenList;  // of its ".hidden", when it had one
};

// A listing kept after its panel closed, with what is needed to tell whether each of its folders
// is still as it was read. Immutable once made; the items carry no sizes or dates (a file's size
// can change without its folder's times moving).
struct KeptListing {
    QByteArray root;
    bool showHiddenFiles = false;
    ListingPtr listing;
    ExtensionCounts counts;
    QList<Pill> pills;                // from the counts
    std::vector<KeptFolder> folders;  // folders[0] is the root
    // The folders' names one after another, in the folders' order: a re-open makes the path of
    // every folder from these, where the folders' own items would be a cache miss each.
    QByteArray folderNames;
    size_t footprint = 0;  // bytes held, counted from the items' real storage
};

using KeptListingPtr = std::shared_ptr<const KeptListing>;

inline QByteArrayView nameOf(const KeptListing& kept, const KeptFolder& folder) {
    return QByteArrayView(kept.folderNames).sliced(folder.nameAt, folder.nameLength);
}

// The coarse clock file systems stamp edits with; read before a folder is read, so that an
// edit made after that moment always gets a later time.
timespec readClock();

// `listing`, a fresh walk of `root`, kept with its folders as the walk stamped them
// (ListingOptions::folders).
KeptListingPtr keepListing(const QByteArray& root, bool showHiddenFiles, ListingPtr listing,
                           ExtensionCounts counts, std::vector<KeptFolder> folders);

// Bytes a kept listing holds: items, ranks, folder records and names, stamps. Each folder's
// `recordBytes` must be set (see recordBytesOf).
size_t footprintOf(const KeptListing& kept);
// Gives `folder`, the last of `kept`'s folders so far, its name.
void nameFolder(KeptListing& kept, KeptFolder& folder, QByteArrayView name);
// Bytes the record of a folder's entries holds, with the allocator's headers.
quint32 recordBytesOf(const FolderRecord& record);

struct Revalidation {
    KeptListingPtr kept;   // null: the folder cannot be served from `from` (list it afresh)
    bool changed = false;  // its items differ from the kept ones
    int foldersKept = 0;   // taken over unread
    int foldersRead = 0;
};

struct RevalidationOptions {
    // Takes every folder as it was, unread: the kept list to show while it is revalidated.
    bool trustAll = false;
    const std::atomic<bool>* cancelled = nullptr;
    qint64 settleNs = kSettleNs;
};

// The listing of `folder` (`from`'s root or a folder below it) as a fresh walk would give it now,
// item for item and in the same order: folders whose stamps still match keep their entries,
// the others are read again, vanished ones drop everything below them. Items of the result
// share the kept folder records when the root is the same; with nothing changed, `from` itself.
Revalidation revalidate(const KeptListingPtr& from, const QByteArray& folder,
                        const RevalidationOptions& options);

}  // namespace tarnwick
