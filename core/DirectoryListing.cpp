#include "DirectoryListing.h"

#include "DirectoryEntries.h"
#include "FolderStamps.h"
#include "HiddenList.h"
#include "ItemArena.h"
#include "PathAnchor.h"
#include "Preferences.h"
#include "VirtualFileSystems.h"

#include <QArrayDataPointer>
#include <QSet>
#include <QThread>

#include <algorithm>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <new>
#include <thread>
#include <tuple>
#include <utility>
#include <vector>

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tarnwick {

namespace {

// One folder of the walk. The worker that reads it fills `names` and its sub-folders; the
// assembly reads them after every worker has finished. Made in the arena of the thread that
// found the folder, so that a walk leaves no freed nodes between the records in the heap.
struct FolderNode {
    FolderNode() = default;
    FolderNode(const FolderNode&) = delete;
    FolderNode& operator=(const FolderNode&) = delete;
    ~FolderNode() {
        if (fd >= 0) close(fd);
    }

    QByteArray path;
    qsizetype relativeStart = 0;
    dev_t parentDevice = 0;  // the root's own device for the root
    bool parentRemote = false;
    bool isRoot = false;
    int fd = -1;  // opened from the parent's descriptor, when there was one to spare
    FolderRecordPtr record;
    KeptFolder* kept = nullptr;  // its stamp, when the walk stamps folders
    NameSlot* names = nullptr;   // in the reading thread's arena, kind in the flags
    size_t itemCount = 0;
    // Sub-folders in entry order, each knowing its entry's index in its parent's `names`.
    FolderNode* firstChild = nullptr;
    FolderNode* nextSibling = nullptr;
    size_t indexInParent = 0;
    // Counted once the walk is over: the items and the folders below it.
    size_t itemsBelow = 0;
    size_t foldersBelow = 0;
};

struct RawEntry {
    size_t nameOffset;
    size_t nameLength;
    unsigned char type;  // d_type
};

// Sub-folders a walk holds open at once, at most, before their turn comes.
constexpr rlim_t kMostOpenedAhead = 256;

QByteArray childPath(const QByteArray& folder, const char* name) {
    QByteArray path = folder;
    if (!path.endsWith('/')) path.append('/');
    path.append(name);
    return path;
}

class Walker {
public:
    Walker(QByteArray root, const ListingOptions& options)
        : m_root(std::move(root)), m_options(options) {}
    Walker(const Walker&) = delete;
    Walker& operator=(const Walker&) = delete;

    // The nodes below the root live in the arenas, which only unmap: each is let go here,
    // unless the assembly already let them go.
    ~Walker() {
        if (m_assembled) return;
        std::vector<FolderNode*> nodes;
        for (FolderNode* child = m_rootNode.firstChild; child; child = child->nextSibling)
            nodes.push_back(child);
        while (!nodes.empty()) {
            FolderNode* node = nodes.back();
            nodes.pop_back();
            for (FolderNode* child = node->firstChild; child; child = child->nextSibling)
                nodes.push_back(child);
            node->~FolderNode();
        }
    }

    QList<FileItem> run() {
        reserveWalkDescriptors();
        if (m_options.folders) m_options.folders->clear();
        struct stat rootStat;
        if (statAnyLength(m_root, &rootStat, true) != 0 || !S_ISDIR(rootStat.st_mode)) return {};
        m_rootNode.path = m_root;
        m_rootNode.relativeStart = m_root.size();
        m_rootNode.parentDevice = rootStat.st_dev;
        m_rootNode.isRoot = true;
        m_pending.push_back(&m_rootNode);

        int threadCount = m_options.threads > 0 ? m_options.threads : QThread::idealThreadCount();
        threadCount = std::clamp(threadCount, 1, 16);
        for (int i = 0; i < threadCount; ++i) m_arenas.push_back(std::make_unique<ItemArena>());
        std::vector<std::thread> helpers;
        for (int i = 1; i < threadCount; ++i)
            helpers.emplace_back([this, i] { work(*m_arenas[size_t(i)]); });
        work(*m_arenas[0]);
        for (std::thread& t : helpers) t.join();
        if (isCancelled()) return {};
        return assemble(threadCount);
    }

private:
    bool isCancelled() const {
        return m_options.cancelled && m_options.cancelled->load(std::memory_order_relaxed);
    }

    // Takes folders off the shared stack until none is left and no other worker can add more.
    void work(ItemArena& arena) {
        Scratch scratch;
        for (;;) {
            FolderNode* node = nullptr;
            {
                std::unique_lock lock(m_mutex);
                m_wake.wait(lock, [this] { return !m_pending.empty() || m_busy == 0; });
                if (m_pending.empty() || isCancelled()) {
                    m_wake.notify_all();
                    return;
                }
                node = m_pending.back();
                m_pending.pop_back();
                ++m_busy;
            }
            readFolder(*node, arena, scratch);
            {
                std::lock_guard lock(m_mutex);
                // Last child on top, so the walk goes depth first and stays near in the cache.
                const size_t first = m_pending.size();
                for (FolderNode* child = node->firstChild; child; child = child->nextSibling)
                    m_pending.push_back(child);
                std::reverse(m_pending.begin() + qsizetype(first), m_pending.end());
                --m_busy;
            }
            m_wake.notify_all();
        }
    }

    static constexpr int kFolderFlags = O_RDONLY | O_DIRECTORY | O_CLOEXEC;

    // What reading one folder needs for a moment, kept by each thread from folder to folder:
    // allocated and freed for each, it would leave the heap in pieces between the records.
    struct Scratch {
        std::vector<char> names;
        std::vector<RawEntry> entries;
        std::vector<char> buffer;  // for getdents64
        // The file system of the folder read last: whether it fills every read.
        dev_t device = 0;
        bool deviceKnown = false;
        bool wholeReads = false;
    };

    void readFolder(FolderNode& node, ItemArena& arena, Scratch& scratch) {
        int fd = std::exchange(node.fd, -1);
        if (fd >= 0)
            m_spareDescriptors.fetch_add(1, std::memory_order_relaxed);
        else  // the root may be reached through a symbolic link; nothing below it is followed
            fd = openAnyLength(node.path, kFolderFlags | (node.isRoot ? 0 : O_NOFOLLOW));
        if (fd < 0) return;  // unreadable or vanished: its contents are left out
        // The device comes from the descriptor already open, not from a stat of every entry.
        struct stat folderStat;
        if (fstat(fd, &folderStat) != 0) {
            close(fd);
            return;
        }
        if (folderStat.st_dev != node.parentDevice &&
            isVirtualFileSystem(fd, folderStat.st_dev, m_virtualDevices)) {
            stamp(node, fd, folderStat, false, arena);  // listed, never read
            close(fd);
            return;
        }
        std::vector<char>& names = scratch.names;
        std::vector<RawEntry>& entries = scratch.entries;
        names.clear();
        entries.clear();
        bool hasHiddenList = false;
        if (!scratch.deviceKnown || scratch.device != folderStat.st_dev) {
            scratch.device = folderStat.st_dev;
            scratch.deviceKnown = true;
            scratch.wholeReads = fillsWholeReads(fd);
        }
        // An error part way leaves the entries read so far, as a stream read would.
        forEachListedEntry(
            fd, scratch.buffer, m_options.showHiddenFiles, hasHiddenList,
            [&](const char* name, size_t length, unsigned char type) {
                entries.push_back({names.size(), length, type});
                names.insert(names.end(), name, name + length + 1);
            },
            scratch.wholeReads);
        if (hasHiddenList) dropListedHidden(fd, names, entries);
        stamp(node, fd, folderStat, hasHiddenList, arena);
        addEntries(node, fd, folderStat.st_dev, names, entries, arena);
        close(fd);
    }

    // When the walk stamps folders: `st` is the folder's stat from before its entries were read,
    // so that an edit after that moment moves its times past the stamp and the next revalidation
    // reads it again.
    void stamp(FolderNode& node, int fd, const struct stat& st, bool hasHiddenList,
               ItemArena& arena) const {
        if (!m_options.folders) return;
        struct stat hidden;
        const bool hiddenRead =
            hasHiddenList && fstatat(fd, ".hidden", &hidden, AT_SYMLINK_NOFOLLOW) == 0;
        const bool crossesMount = node.isRoot || st.st_dev != node.parentDevice;
        auto* kept = new (arena.allocateBytes(sizeof(KeptFolder), alignof(KeptFolder))) KeptFolder;
        stampFolder(*kept, st, hiddenRead ? &hidden : nullptr,
                    crossesMount ? isRemoteFileSystem(fd) : node.parentRemote, m_start,
                    m_options.settleNs);
        node.kept = kept;
    }

    static void dropListedHidden(int folderFd, const std::vector<char>& names,
                                 std::vector<RawEntry>& entries) {
        const QSet<QByteArray> hidden = readHiddenList(folderFd);
        if (hidden.isEmpty()) return;
        std::erase_if(entries, [&](const RawEntry& e) {
            return hidden.contains(QByteArray::fromRawData(&names[e.nameOffset], e.nameLength));
        });
    }

    void addEntries(FolderNode& node, int fd, dev_t device, const std::vector<char>& names,
                    const std::vector<RawEntry>& entries, ItemArena& arena) {
        FolderBuilder builder(node.path, node.relativeStart);
        // Each name ends in a 0 that the record does not keep.
        builder.reserve(qsizetype(names.size() - entries.size()));
        node.names = arena.allocate(entries.size());
        for (size_t i = 0; i < entries.size(); ++i) {
            node.names[i] = builder.addName(
                QByteArrayView(&names[entries[i].nameOffset], entries[i].nameLength));
        }
        node.record = builder.finish();

        // Linux has no packages (bundles): every folder is descended into, none is one item.
        const qsizetype childRelativeStart = m_root == "/" ? 1 : m_root.size() + 1;
        FolderNode** lastChild = &node.firstChild;
        for (size_t i = 0; i < entries.size(); ++i) {
            const char* name = &names[entries[i].nameOffset];
            // Symbolic links are listed as themselves and never followed, so no loop is possible.
            NameSlot& slot = node.names[node.itemCount++];
            if (!isDirectoryEntry(fd, name, entries[i].type)) continue;
            slot.flags |= NameSlot::kDirectory;
            auto* child =
                new (arena.allocateBytes(sizeof(FolderNode), alignof(FolderNode))) FolderNode;
            child->path = childPath(node.path, name);
            child->relativeStart = childRelativeStart;
            child->parentDevice = device;
            child->parentRemote = node.kept && (node.kept->flags & KeptFolder::kRemote);
            child->fd = openChild(fd, name);
            child->indexInParent = i;
            *lastChild = child;
            lastChild = &child->nextSibling;
        }
    }

    // The sub-folder opened from its parent's descriptor while there are descriptors to spare
    // (a lookup of one name instead of the whole path), else -1 and it is opened by its path
    // when its turn comes.
    int openChild(int parentFd, const char* name) {
        if (m_spareDescriptors.fetch_sub(1, std::memory_order_relaxed) <= 0) {
            m_spareDescriptors.fetch_add(1, std::memory_order_relaxed);
            return -1;
        }
        const int fd = openat(parentFd, name, kFolderFlags | O_NOFOLLOW);
        if (fd < 0) m_spareDescriptors.fetch_add(1, std::memory_order_relaxed);
        return fd;
    }

    // A quarter of the process's descriptors at most, so that nothing else runs short.
    static int descriptorsToSpare() {
        struct rlimit limit;
        if (getrlimit(RLIMIT_NOFILE, &limit) != 0) return 0;
        return int(std::min<rlim_t>(limit.rlim_cur / 4, kMostOpenedAhead));
    }

    // Depth first: each folder's entry, then everything below it, then its next sibling; the
    // folders, when asked for, in the same order. Once every folder knows how much lies below
    // it, each subtree's place in the output is known, and subtrees are written on every core:
    // one thread took a twentieth of a million-entry listing's time to write its items.
    QList<FileItem> assemble(int threadCount) {
        countBelow();
        const auto size = qsizetype(m_rootNode.itemsBelow);
        // Allocated without constructing anything: each item's memory is first touched, page
        // faults included, by the thread that writes it.
        QTypedArrayData<FileItem>* header = nullptr;
        FileItem* data = nullptr;
        if (size > 0) std::tie(header, data) = QTypedArrayData<FileItem>::allocate(size);
        std::vector<KeptFolder>* folders = m_options.folders;
        if (folders) folders->assign(m_rootNode.foldersBelow + 1, KeptFolder{});
        Output output{data, folders ? folders->data() : nullptr};
        std::vector<Piece> pieces;
        const size_t pieceItems = std::max<size_t>(m_rootNode.itemsBelow / 64, 4096);
        pieces.push_back({&m_rootNode, 0, 0});
        // A subtree too large to be one thread's piece has its own entries written here and its
        // sub-folders made pieces in turn.
        for (size_t next = 0; next < pieces.size(); ++next) {
            if (pieces[next].node->itemsBelow <= pieceItems) continue;
            const Piece large = std::exchange(pieces[next], Piece{});
            fill(large, output, &pieces);
        }
        std::erase_if(pieces, [](const Piece& p) { return !p.node; });
        std::sort(pieces.begin(), pieces.end(), [](const Piece& a, const Piece& b) {
            return a.node->itemsBelow > b.node->itemsBelow;
        });
        std::atomic<size_t> taken = 0;
        auto fillPieces = [&] {
            for (size_t k; (k = taken.fetch_add(1)) < pieces.size();)
                fill(pieces[k], output, nullptr);
        };
        std::vector<std::thread> helpers;
        for (int i = 1; i < std::min(threadCount, int(pieces.size())); ++i)
            helpers.emplace_back(fillPieces);
        fillPieces();
        for (std::thread& t : helpers) t.join();
        m_assembled = true;
        if (size == 0) return {};
        return QList<FileItem>(QArrayDataPointer<FileItem>(header, data, size));
    }

    // Where a subtree's first item and its own folder record go.
    struct Piece {
        FolderNode* node = nullptr;
        size_t item = 0;
        size_t folder = 0;
    };
    struct Output {
        FileItem* items;      // allocated, each constructed when written
        KeptFolder* folders;  // null when the folders were not asked for
    };

    // Every folder's count of items and folders below it, children before their parents.
    void countBelow() {
        std::vector<FolderNode*> preorder{&m_rootNode};
        for (size_t k = 0; k < preorder.size(); ++k)
            for (FolderNode* child = preorder[k]->firstChild; child; child = child->nextSibling)
                preorder.push_back(child);
        for (auto node = preorder.rbegin(); node != preorder.rend(); ++node) {
            (*node)->itemsBelow += (*node)->itemCount;
            for (FolderNode* child = (*node)->firstChild; child; child = child->nextSibling) {
                (*node)->itemsBelow += child->itemsBelow;
                (*node)->foldersBelow += child->foldersBelow + 1;
            }
        }
    }

    // Writes a subtree depth first from its place on; with `pieces`, only the folder's own
    // entries, its sub-folders left to `pieces` at the places they take.
    static void fill(const Piece& piece, const Output& output, std::vector<Piece>* pieces) {
        size_t item = piece.item;
        size_t folder = piece.folder;
        struct Frame {
            FolderNode* node;
            size_t nextItem;
            FolderNode* nextChild;
        };
        std::vector<Frame> frames;
        auto enter = [&](FolderNode* node) {
            if (output.folders) {
                KeptFolder& kept = output.folders[folder];
                if (node->kept) kept = *node->kept;
                kept.begin = quint32(item);
                kept.end = quint32(item + node->itemsBelow);
                kept.foldersEnd = quint32(folder + 1 + node->foldersBelow);
            }
            ++folder;
            frames.push_back({node, 0, node->firstChild});
        };
        enter(piece.node);
        while (!frames.empty()) {
            Frame& frame = frames.back();
            FolderNode* node = frame.node;
            if (frame.nextItem == node->itemCount) {
                frames.pop_back();
                // Let go while in the cache, on every core, rather than visited once more later.
                if (!node->isRoot) node->~FolderNode();
                continue;
            }
            const size_t index = frame.nextItem++;
            const NameSlot slot = node->names[index];
            new (output.items + item++)
                FileItem(node->record, slot, slot.flags & NameSlot::kDirectory);
            FolderNode* child = frame.nextChild;
            if (!child || child->indexInParent != index) continue;
            frame.nextChild = child->nextSibling;
            if (!pieces) {
                enter(child);
            } else {
                pieces->push_back({child, item, folder});
                item += child->itemsBelow;
                folder += 1 + child->foldersBelow;
            }
        }
    }

    const QByteArray m_root;
    const ListingOptions m_options;
    const timespec m_start = readClock();  // before any folder is stamped
    std::vector<std::unique_ptr<ItemArena>> m_arenas;
    const VirtualDevices m_virtualDevices = VirtualDevices::fromMountTable();
    FolderNode m_rootNode;
    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::vector<FolderNode*> m_pending;
    int m_busy = 0;
    std::atomic<int> m_spareDescriptors = descriptorsToSpare();
    bool m_assembled = false;  // and the nodes below the root let go
};

}  // namespace

QList<FileItem> listDirectory(const QByteArray& folder, const ListingOptions& options) {
    QByteArray root = folder;
    while (root.size() > 1 && root.endsWith('/')) root.chop(1);
    if (root.isEmpty()) return {};
    return Walker(root, options).run();
}

void reserveWalkDescriptors() {
    static std::once_flag once;
    std::call_once(once, [] {
        // Room for the folders opened ahead and for everything the program itself holds open.
        constexpr rlim_t kReserved = 4 * kMostOpenedAhead;
        struct rlimit limit;
        if (getrlimit(RLIMIT_NOFILE, &limit) != 0 || limit.rlim_cur < 2) return;
        const int probe = open("/", O_PATH | O_CLOEXEC);
        if (probe < 0) return;
        // The lowest free descriptor from there on: no descriptor in use is touched.
        const int high =
            fcntl(probe, F_DUPFD_CLOEXEC, int(std::min(limit.rlim_cur, kReserved) - 1));
        if (high >= 0) close(high);
        close(probe);
    });
}

QList<FileItem> listDirectory(const QByteArray& folder, const std::atomic<bool>* cancelled) {
    ListingOptions options;
    options.showHiddenFiles = Preferences::showHiddenFiles();
    options.cancelled = cancelled;
    return listDirectory(folder, options);
}

}  // namespace tarnwick
