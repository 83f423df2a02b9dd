#include "ItemAttributes.h"

#include "PathAnchor.h"
#include "WorkQueue.h"

#include <algorithm>
#include <array>

#include <fcntl.h>
#include <unistd.h>

namespace tarnwick {

namespace {

// The folders a share stats in: depth-first order comes back to a parent after each sub-folder,
// so a handful of open descriptors spares almost every reopening.
class FolderDescriptors {
public:
    ~FolderDescriptors() {
        for (const Slot& slot : m_slots)
            if (slot.fd >= 0) close(slot.fd);
    }

    // -1 when the folder cannot be opened (gone, or no longer a folder).
    int fdOf(const FolderRecord& folder) {
        for (const Slot& slot : m_slots)
            if (slot.folder == &folder) return slot.fd;
        Slot& slot = m_slots[m_next];
        m_next = (m_next + 1) % m_slots.size();
        if (slot.fd >= 0) close(slot.fd);
        // Below the searched folder nothing is followed, as in the walk.
        const int nofollow = folder.relativeDirectory().isEmpty() ? 0 : O_NOFOLLOW;
        slot.folder = &folder;
        slot.fd = openAnyLength(folder.path(), O_PATH | O_DIRECTORY | O_CLOEXEC | nofollow);
        return slot.fd;
    }

private:
    struct Slot {
        const FolderRecord* folder = nullptr;
        int fd = -1;
    };
    std::array<Slot, 16> m_slots;
    size_t m_next = 0;
};

constexpr qsizetype kItemsPerShare = 8192;
constexpr qsizetype kStatsPerCancelCheck = 1024;

}  // namespace

void readAttributes(QList<FileItem>& items, const std::atomic<bool>* cancelled) {
    const qsizetype n = items.size();
    if (n == 0) return;
    FileItem* data = items.data();
    // More shares than threads, so that a share of slow folders does not hold up the others.
    const int shares = int(std::clamp<qsizetype>(n / kItemsPerShare, 1, 256));
    WorkQueue::runShares(shares, [&](int share) {
        FolderDescriptors folders;
        const qsizetype end = n * (share + 1) / shares;
        for (qsizetype i = n * share / shares; i < end; ++i) {
            if (i % kStatsPerCancelCheck == 0 && cancelled && cancelled->load()) return;
            FileItem& item = data[i];
            if (item.hasAttributes()) continue;
            const int fd = folders.fdOf(item.folder());
            if (fd >= 0)
                item.readAttributesAt(fd);
            else
                item.readAttributes();
        }
    });
}

}  // namespace tarnwick
