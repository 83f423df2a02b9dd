#include "KeptListing.h"

#include "FolderEntries.h"
#include "FolderStamps.h"
#include "ItemPieces.h"
#include "NameCollation.h"
#include "NameRankMerge.h"
#include "PathAnchor.h"
#include "VirtualFileSystems.h"
#include "WorkQueue.h"

#include <QHash>

#include <algorithm>
#include <climits>
#include <optional>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tarnwick {

namespace {

// What a folder's entries need of the folder they are in.
struct ParentFolder {
    dev_t device;
    bool remote;
};

ParentFolder parentFor(const KeptFolder& folder) {
    return {folder.stamp.device, bool(folder.flags & KeptFolder::kRemote)};
}

// The folders a run of stats is inside, held open so that each folder below them is looked up
// from the nearest by the rest of its path: a lookup from the root spends most of its time on
// the names in front, the same for every folder of a subtree. Opened only for subtrees of many
// folders: an open and a close cost more than a few names looked up.
class StatAnchors {
public:
    StatAnchors(int rootFd, qsizetype rootSkip) : m_rootFd(rootFd), m_rootSkip(rootSkip) {}
    StatAnchors(const StatAnchors&) = delete;
    StatAnchors& operator=(const StatAnchors&) = delete;
    ~StatAnchors() {
        for (const Anchor& anchor : m_open) close(anchor.fd);
    }

    // Holds open the folder `folder` at `path` when many folders lie below it (those before
    // `foldersEnd`), as stat() would, without a stat: for the folders above the first of a run.
    void enter(const QByteArray& path, size_t folder, size_t foldersEnd) {
        leaveAbove(folder);
        openAnchor(path, folder, foldersEnd);
    }

    // lstat of the kept folder `folder` at `path`, below the root. Folders come in the kept
    // order, each before the folders below it.
    int stat(const QByteArray& path, size_t folder, size_t foldersEnd, struct stat* st) {
        leaveAbove(folder);
        if (openAnchor(path, folder, foldersEnd)) return fstat(m_open.back().fd, st);
        const char* rest = restOf(path);
        if (!rest) return statAnyLength(path, st, false);
        return fstatat(lookupFrom(), rest, st, AT_SYMLINK_NOFOLLOW);
    }

private:
    void leaveAbove(size_t folder) {
        while (!m_open.empty() && m_open.back().foldersEnd <= folder) {
            close(m_open.back().fd);
            m_open.pop_back();
        }
    }

    int lookupFrom() const { return m_open.empty() ? m_rootFd : m_open.back().fd; }

    // `path` from the nearest folder held open, or null when it cannot be looked up from there.
    const char* restOf(const QByteArray& path) const {
        const qsizetype skip = m_open.empty() ? m_rootSkip : m_open.back().skip;
        return lookupFrom() < 0 || path.size() - skip >= PATH_MAX ? nullptr
                                                                  : path.constData() + skip;
    }

    // True when `folder` is held open now.
    bool openAnchor(const QByteArray& path, size_t folder, size_t foldersEnd) {
        const char* rest = restOf(path);
        if (!rest || foldersEnd - folder <= kFoldersBelow || m_open.size() >= kMostOpen)
            return false;
        const int fd = openat(lookupFrom(), rest, O_PATH | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
        if (fd < 0) return false;
        m_open.push_back({fd, path.size() + 1, foldersEnd});
        return true;
    }

    static constexpr size_t kFoldersBelow = 16;
    static constexpr size_t kMostOpen = 8;  // per run: more threads run at once on more cores
    struct Anchor {
        int fd;
        qsizetype skip;  // of an anchor's path and the '/' after it
        size_t foldersEnd;
    };
    const int m_rootFd;
    const qsizetype m_rootSkip;
    std::vector<Anchor> m_open;
};

// The paths of a kept listing's folders below `start`, made in the folders' order from their
// names: each is the path of the folder above it, still in the buffer, and its own name. Their
// items, which also know the path, would be a cache miss a folder.
class FolderPaths {
public:
    FolderPaths(const KeptListing& kept, size_t start, const QByteArray& root)
        : m_kept(kept), m_path(root) {
        m_above.push_back({kept.folders[start].foldersEnd, root == "/" ? 0 : root.size()});
    }

    // The path of folder `k`, which comes after the last one asked for (or is below it).
    const QByteArray& moveTo(size_t k) {
        while (m_above.back().foldersEnd <= k) m_above.pop_back();
        const KeptFolder& folder = m_kept.folders[k];
        m_path.truncate(m_above.back().pathLength);
        m_path.append('/');
        m_path.append(nameOf(m_kept, folder));
        if (folder.foldersEnd > k + 1) m_above.push_back({folder.foldersEnd, m_path.size()});
        return m_path;
    }

private:
    struct Above {
        size_t foldersEnd;  // of a folder above the last one asked for
        qsizetype pathLength;
    };
    const KeptListing& m_kept;
    QByteArray m_path;
    std::vector<Above> m_above;
};

class Revalidator {
public:
    Revalidator(const KeptListingPtr& fromPtr, const QByteArray& root,
                const RevalidationOptions& options)
        : m_fromPtr(fromPtr),
          m_from(*fromPtr),
          m_old(fromPtr->listing->items),
          m_root(root),
          m_childRelativeStart(root == "/" ? 1 : root.size() + 1),
          m_sameRoot(root == fromPtr->root),
          m_options(options),
          m_pieces(m_old) {}

    Revalidation run() {
        const int start = locate();
        if (start < 0) return {};
        if (!m_options.trustAll && !checkFolders(size_t(start)) && m_sameRoot)
            return {m_fromPtr, false, int(m_from.folders.size()), 0};
        countChangedFolders();
        auto kept = std::make_shared<KeptListing>();
        m_out = kept.get();
        const KeptFolder& was = m_from.folders[size_t(start)];
        kept->folders.reserve(size_t(was.foldersEnd) - size_t(start) + 64);
        if (m_sameRoot) kept->folderNames.reserve(m_from.folderNames.size() * 65 / 64 + 256);
        m_path = m_root;
        // The visit runs on one core; another meanwhile has the pages it writes, and those the
        // new items will take, put in place. Most re-opens find a few entries more or fewer than
        // were kept.
        bool visited = false;
        std::atomic<bool> visitDone = false;
        ItemRoom room;
        const qsizetype expected = qsizetype(was.end - was.begin);
        // Taken before the visit: should it outgrow them, the folders move, and populating pages
        // given back meanwhile changes nothing.
        void* const folderPages = kept->folders.data();
        const size_t folderBytes = kept->folders.capacity() * sizeof(KeptFolder);
        WorkQueue::runShares(m_sameRoot ? 2 : 1, [&](int share) {
            if (share == 0) {
                visited = visit(start, nullptr);
                visitDone = true;
                return;
            }
            populatePages(folderPages, folderBytes, &visitDone);
            room = ItemRoom(expected + expected / 256 + 256, &visitDone);
        });
        if (!visited) return {};
        m_origins = m_pieces.origins();
        m_result.changed |= size_t(m_pieces.size()) != size_t(was.end - was.begin);
        kept->root = m_root;
        kept->showHiddenFiles = m_from.showHiddenFiles;
        if (m_sameRoot && !m_result.changed) {
            kept->listing = m_from.listing;
            kept->counts = m_from.counts;
            kept->pills = m_from.pills;
        } else {
            QList<FileItem> items;
            std::vector<quint32> ranks;
            const bool merged = !m_from.listing->nameRanks.empty();
            const QList<FileItem> unkept = m_pieces.unkept();
            auto rank = [&] {
                ranks = merged ? mergedNameRanks(*m_from.listing, m_origins, unkept)
                               : computeNameRanks(items);
            };
            auto count = [&] {
                kept->counts = m_sameRoot ? countedAgain(unkept) : countExtensions(items);
            };
            if (merged && m_sameRoot) {
                // None of these needs the items taken over: all run while those are copied.
                ItemOrder order;
                items = m_pieces.items(
                    2,
                    [&](int job) {
                        if (job == 1) return count();
                        rank();
                        order = nameOrderFromKept(*m_from.listing, m_origins, ranks, [&](size_t i) {
                            return m_pieces.isDirectory(quint32(i));
                        });
                        if (!order) order = nameOrderOf(ranks, m_pieces.directoriesInOrder());
                    },
                    &room);
                kept->listing =
                    makeRankedListing(std::move(items), std::move(ranks), std::move(order));
            } else {
                items = m_pieces.items(0, {}, &room);
                WorkQueue::runShares(2, [&](int share) { share == 0 ? rank() : count(); });
                kept->listing = makeRankedListing(std::move(items), std::move(ranks));
            }
            kept->pills = pillsFor(kept->counts, true);
        }
        kept->footprint = footprintOf(*kept);
        m_result.kept = std::move(kept);
        return m_result;
    }

private:
    // The kept folder that is `m_root`, found one name at a time from the kept root.
    int locate() const {
        if (m_sameRoot) return 0;
        const QByteArray& top = m_from.root;
        const qsizetype skip = top == "/" ? 1 : top.size() + 1;
        if (!m_root.startsWith(top) || m_root.size() <= skip ||
            (top != "/" && m_root[top.size()] != '/'))
            return -1;
        int index = 0;
        for (const QByteArray& name : m_root.mid(skip).split('/')) {
            index = childNamed(index, name);
            if (index < 0) return -1;
        }
        return index;
    }

    // The kept counts, less the items not taken over, plus the items read.
    ExtensionCounts countedAgain(const QList<FileItem>& unkept) const {
        ExtensionCounts counts = m_from.counts;
        std::vector<bool> taken(size_t(m_old.size()));
        for (qint32 origin : m_origins)
            if (origin >= 0) taken[size_t(origin)] = true;
        for (const FileItem& item : unkept) counts.add(item);
        for (qsizetype i = 0; i < m_old.size(); ++i)
            if (!taken[size_t(i)]) counts.add(m_old[i], -1);
        return counts;
    }

    // Stats every kept folder from `start` down, on all cores, before anything is built: true
    // when some folder has to be read. The folders are looked up from the root's descriptor or
    // from a folder above them held open, so that the names in front are walked once rather
    // than once a folder.
    bool checkFolders(size_t start) {
        const size_t end = m_from.folders[start].foldersEnd;
        m_unchanged.assign(m_from.folders.size(), 0);
        const int rootFd = openAnyLength(m_root, O_PATH | O_DIRECTORY | O_CLOEXEC);
        std::atomic<bool> anyChanged = false;
        // Enough shares that a thread done early takes another; a small tree in one.
        const int shares = int(std::clamp<size_t>((end - start) / 256, 1, 32));
        WorkQueue::runShares(shares, [&](int share) {
            const size_t first = start + (end - start) * size_t(share) / shares,
                         last = start + (end - start) * size_t(share + 1) / shares;
            FolderPaths paths(m_from, start, m_root);
            StatAnchors anchors(rootFd, m_childRelativeStart);
            enterFoldersAbove(first, start, anchors, paths);
            for (size_t k = first; k < last; ++k) {
                struct stat st;
                int status = -1;
                const QByteArray& path = k == start ? m_root : paths.moveTo(k);
                if (k != start)
                    status = anchors.stat(path, k, m_from.folders[k].foldersEnd, &st);
                else if (rootFd >= 0)
                    status = fstat(rootFd, &st);
                m_unchanged[k] = isUnchangedNow(m_from.folders[k], status, st, path);
                if (!m_unchanged[k]) anyChanged.store(true, std::memory_order_relaxed);
            }
        });
        if (rootFd >= 0) close(rootFd);
        return anyChanged.load();
    }

    // Holds open, as their stats would have, the folders from `start` down to the one above
    // `folder`: the first of a run of stats that begins deep in the tree.
    void enterFoldersAbove(size_t folder, size_t start, StatAnchors& anchors,
                           FolderPaths& paths) const {
        for (size_t above = start; above != folder;) {
            size_t child = above + 1;
            while (m_from.folders[child].foldersEnd <= folder)
                child = m_from.folders[child].foldersEnd;
            if (child == folder) return;
            anchors.enter(paths.moveTo(child), child, m_from.folders[child].foldersEnd);
            above = child;
        }
    }

    // How many folders before each one changed, so that a subtree is known unchanged at once.
    void countChangedFolders() {
        m_changedBefore.assign(m_from.folders.size() + 1, 0);
        if (m_options.trustAll) return;
        for (size_t k = 0; k < m_from.folders.size(); ++k)
            m_changedBefore[k + 1] = m_changedBefore[k] + (m_unchanged[k] ? 0 : 1);
    }

    bool subtreeUnchanged(int old) const {
        return m_changedBefore[size_t(old)] ==
               m_changedBefore[m_from.folders[size_t(old)].foldersEnd];
    }

    int childNamed(int index, QByteArrayView name) const {
        const KeptFolder& folder = m_from.folders[size_t(index)];
        quint32 child = quint32(index) + 1;
        for (quint32 i = folder.begin; i < folder.end;) {
            const FileItem& item = m_old[i];
            if (!item.isDirectory()) {
                ++i;
                continue;
            }
            if (item.nativeName() == name) return int(child);
            i = m_from.folders[child].end;
            child = m_from.folders[child].foldersEnd;
        }
        return -1;
    }

    // Adds the folder at m_path and everything below it; `old` is its kept folder, or -1.
    bool visit(int old, const ParentFolder* parent) {
        if (m_options.cancelled && m_options.cancelled->load(std::memory_order_relaxed))
            return false;
        const size_t index = m_out->folders.size();
        m_out->folders.push_back({});
        m_out->folders[index].begin = m_pieces.size();
        if (index > 0)
            nameFolder(*m_out, m_out->folders[index],
                       QByteArrayView(m_path).sliced(m_path.lastIndexOf('/') + 1));
        bool ok = true;
        if (old >= 0 && (m_options.trustAll || m_unchanged[size_t(old)])) {
            ++m_result.foldersKept;
            m_out->folders[index].flags = m_from.folders[size_t(old)].flags;
            m_out->folders[index].stamp = m_from.folders[size_t(old)].stamp;
            m_out->folders[index].hiddenList = m_from.folders[size_t(old)].hiddenList;
            if (m_sameRoot)
                m_out->folders[index].recordBytes = m_from.folders[size_t(old)].recordBytes;
            if (m_sameRoot && subtreeUnchanged(old))
                takeOverSubtree(old);
            else
                ok = takeOver(old, index, !parent);
        } else {
            ++m_result.foldersRead;
            const QByteArray path = m_path;
            if (!parent && !readRoot(path)) return false;
            ok = read(old, index, path, parent);
        }
        m_out->folders[index].end = m_pieces.size();
        m_out->folders[index].foldersEnd = quint32(m_out->folders.size());
        return ok;
    }

    // `status`, `st`: the folder's stat now.
    bool isUnchangedNow(const KeptFolder& kept, int status, const struct stat& st,
                        const QByteArray& path) const {
        if (!(kept.flags & KeptFolder::kTrusted) || (kept.flags & KeptFolder::kRemote))
            return false;
        return status == 0 && S_ISDIR(st.st_mode) && stampOf(st) == kept.stamp &&
               (m_from.showHiddenFiles || hiddenListUnchanged(kept, path));
    }

    // The root that is no folder any more is no listing to serve.
    bool readRoot(const QByteArray& path) const {
        struct stat st;
        return statAnyLength(path, &st, true) == 0 && S_ISDIR(st.st_mode);
    }

    // The kept entries of an unchanged folder, each folder among them revalidated in turn.
    bool takeOver(int old, size_t index, bool isRoot) {
        const KeptFolder& kept = m_from.folders[size_t(old)];
        const ParentFolder here = parentFor(m_out->folders[index]);
        FolderRecordPtr moved;  // the folder's record seen from another root
        quint32 child = quint32(old) + 1;
        for (quint32 i = kept.begin; i < kept.end;) {
            const FileItem& item = m_old[i];
            if (m_sameRoot) {
                m_pieces.addKept(i, 1);
            } else {
                if (!moved) {
                    moved = FolderRecordPtr(new FolderRecord(
                        item.folder().path(), isRoot ? m_root.size() : m_childRelativeStart,
                        item.folder().names()));
                    m_out->folders[index].recordBytes = recordBytesOf(*moved);
                }
                m_pieces.addMade(FileItem(moved, item.nameSlot(), item.isDirectory()), qint32(i));
            }
            if (!item.isDirectory()) {
                ++i;
                continue;
            }
            if (!visitChild(int(child), item.nativeName(), &here)) return false;
            i = m_from.folders[child].end;
            child = m_from.folders[child].foldersEnd;
        }
        return true;
    }

    // An unchanged folder with nothing changed below it, from the listing's own root: its items
    // are taken over as one run and the folders below copied in one, without visiting every
    // folder (most of a re-opened listing is such runs).
    void takeOverSubtree(int old) {
        const KeptFolder& kept = m_from.folders[size_t(old)];
        const quint32 itemsAt = m_pieces.size();
        m_pieces.addKept(kept.begin, kept.end - kept.begin);
        // `old` itself is the folder the caller has just added.
        const quint32 foldersAt = quint32(m_out->folders.size()) - 1;
        if (size_t(old) + 1 == kept.foldersEnd) return;
        // The names of the folders below, one stretch in both listings.
        const KeptFolder& last = m_from.folders[kept.foldersEnd - 1];
        const quint32 namesFrom = m_from.folders[size_t(old) + 1].nameAt,
                      namesAt = quint32(m_out->folderNames.size());
        m_out->folderNames.append(
            QByteArrayView(m_from.folderNames)
                .sliced(namesFrom, last.nameAt + last.nameLength - namesFrom));
        for (size_t f = size_t(old) + 1; f < kept.foldersEnd; ++f) {
            KeptFolder folder = m_from.folders[f];
            folder.begin = folder.begin - kept.begin + itemsAt;
            folder.end = folder.end - kept.begin + itemsAt;
            folder.foldersEnd = folder.foldersEnd - quint32(old) + foldersAt;
            folder.nameAt = folder.nameAt - namesFrom + namesAt;
            m_out->folders.push_back(folder);
        }
        m_result.foldersKept += int(kept.foldersEnd - quint32(old)) - 1;
    }

    // A changed or new folder read again; folders among its entries that were kept before are
    // revalidated, the others read.
    bool read(int old, size_t index, const QByteArray& path, const ParentFolder* parent) {
        FolderEntries entries = readFolder(path, parent);
        KeptFolder& folder = m_out->folders[index];
        stampRead(folder, entries, path, parent);
        const ParentFolder here = parentFor(folder);
        QHash<QByteArrayView, KeptEntry> keptEntries;
        if (old >= 0) keptEntries = entriesOf(old);
        if (old < 0 || !sameEntries(old, entries)) m_result.changed = true;
        FolderBuilder builder(path, parent ? m_childRelativeStart : m_root.size());
        std::vector<NameSlot> slots;
        slots.reserve(entries.entries.size());
        for (const FolderEntries::Entry& e : entries.entries)
            slots.push_back(builder.addName(entries.name(e)));
        const FolderRecordPtr record = builder.finish();
        if (!slots.empty()) folder.recordBytes = recordBytesOf(*record);
        for (size_t i = 0; i < slots.size(); ++i) {
            const FolderEntries::Entry& e = entries.entries[i];
            // An entry read again under the same name and kind ranks and counts as it did.
            KeptEntry was = keptEntries.value(entries.name(e), {-1, -1});
            if (was.item >= 0 && m_old[was.item].isDirectory() != e.isDirectory) was = {-1, -1};
            m_pieces.addMade(FileItem(record, slots[i], e.isDirectory), was.item);
            if (!e.isDirectory) continue;
            if (!visitChild(was.folder, entries.name(e), &here)) return false;
        }
        return true;
    }

    FolderEntries readFolder(const QByteArray& path, const ParentFolder* parent) {
        // Virtual file systems are stamped but never read, as the walk never reads them.
        auto isVirtual = [&](int fd, dev_t device) {
            return parent && device != parent->device &&
                   isVirtualFileSystem(fd, device, virtualDevices());
        };
        return readFolderEntries(path, !parent, m_from.showHiddenFiles, isVirtual);
    }

    void stampRead(KeptFolder& folder, const FolderEntries& entries, const QByteArray& path,
                   const ParentFolder* parent) {
        if (!entries.opened) return;  // untrusted: read again next time
        const bool crossesMount = !parent || parent->device != entries.folder.st_dev;
        stampFolder(folder, entries.folder, entries.hiddenList ? &*entries.hiddenList : nullptr,
                    crossesMount ? isRemoteFileSystem(path) : parent->remote, m_start,
                    m_options.settleNs);
    }

    struct KeptEntry {
        qint32 item;  // in the kept listing
        int folder;   // its kept folder; -1 for a file
    };

    QHash<QByteArrayView, KeptEntry> entriesOf(int old) const {
        QHash<QByteArrayView, KeptEntry> entries;
        const KeptFolder& kept = m_from.folders[size_t(old)];
        entries.reserve(qsizetype(kept.end - kept.begin));
        quint32 child = quint32(old) + 1;
        for (quint32 i = kept.begin; i < kept.end;) {
            if (!m_old[i].isDirectory()) {
                entries.insert(m_old[i].nativeName(), {qint32(i), -1});
                ++i;
                continue;
            }
            entries.insert(m_old[i].nativeName(), {qint32(i), int(child)});
            i = m_from.folders[child].end;
            child = m_from.folders[child].foldersEnd;
        }
        return entries;
    }

    bool sameEntries(int old, const FolderEntries& entries) const {
        const KeptFolder& kept = m_from.folders[size_t(old)];
        size_t n = 0;
        quint32 child = quint32(old) + 1;
        for (quint32 i = kept.begin; i < kept.end; ++n) {
            const FileItem& item = m_old[i];
            if (n >= entries.entries.size() ||
                item.isDirectory() != entries.entries[n].isDirectory ||
                item.nativeName() != entries.name(entries.entries[n]))
                return false;
            if (!item.isDirectory()) {
                ++i;
                continue;
            }
            i = m_from.folders[child].end;
            child = m_from.folders[child].foldersEnd;
        }
        return n == entries.entries.size();
    }

    // Visits the folder `name` of the one at m_path, which names it meanwhile: a million-entry
    // tree has tens of thousands of folders, and few of them need their path.
    bool visitChild(int old, QByteArrayView name, const ParentFolder* parent) {
        const qsizetype size = m_path.size();
        if (!m_path.endsWith('/')) m_path.append('/');
        m_path.append(name);
        const bool ok = visit(old, parent);
        m_path.truncate(size);
        return ok;
    }

    const VirtualDevices& virtualDevices() {
        if (!m_virtualDevices) m_virtualDevices = VirtualDevices::fromMountTable();
        return *m_virtualDevices;
    }

    const KeptListingPtr m_fromPtr;
    const KeptListing& m_from;
    const QList<FileItem>& m_old;
    const QByteArray m_root;
    const qsizetype m_childRelativeStart;
    const bool m_sameRoot;
    const RevalidationOptions m_options;
    const timespec m_start = readClock();
    KeptListing* m_out = nullptr;
    QByteArray m_path;    // of the folder being visited
    ItemPieces m_pieces;  // the new listing's items while folders are visited
    // Per item: the kept item it was taken from or read again as (same name and kind), else -1.
    std::vector<qint32> m_origins;
    std::vector<char> m_unchanged;         // per kept folder
    std::vector<quint32> m_changedBefore;  // per kept folder, and one past the last
    Revalidation m_result;
    std::optional<VirtualDevices> m_virtualDevices;
};

}  // namespace

Revalidation revalidate(const KeptListingPtr& from, const QByteArray& folder,
                        const RevalidationOptions& options) {
    QByteArray root = folder;
    while (root.size() > 1 && root.endsWith('/')) root.chop(1);
    if (root.isEmpty() || !from || from->folders.empty()) return {};
    return Revalidator(from, root, options).run();
}

}  // namespace tarnwick
