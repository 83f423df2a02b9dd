#include "FolderStamps.h"

#include "PathAnchor.h"

#include <sys/stat.h>
#include <sys/vfs.h>

namespace tarnwick {

namespace {

// Wraps instead of overflowing for times more than 292 years from 1970: only two times a whole
// multiple of 584 years apart could then compare equal.
qint64 nanoseconds(timespec time) {
    return qint64(quint64(time.tv_sec) * 1'000'000'000u + quint64(time.tv_nsec));
}

bool isRemoteType(unsigned long type) {
    constexpr unsigned long kNfs = 0x6969, kSmb = 0x517B, kCifs = 0xFF534D42, kSmb2 = 0xFE534D42,
                            kFuse = 0x65735546;
    return type == kNfs || type == kSmb || type == kCifs || type == kSmb2 || type == kFuse;
}

QByteArray hiddenListPath(const QByteArray& folder) {
    return folder + (folder.endsWith('/') ? ".hidden" : "/.hidden");
}

}  // namespace

timespec readClock() {
    timespec now{};
    clock_gettime(CLOCK_REALTIME_COARSE, &now);
    return now;
}

FolderStamp stampOf(const struct stat& st) {
    return {st.st_dev, st.st_ino, nanoseconds(st.st_mtim), nanoseconds(st.st_ctim)};
}

bool isSettled(const FolderStamp& stamp, timespec start, qint64 settleNs) {
    return stamp.changedNs < nanoseconds(start) - settleNs;
}

bool isRemoteFileSystem(int fd) {
    struct statfs fs;
    return fstatfs(fd, &fs) == 0 && isRemoteType((unsigned long)(fs.f_type));
}

bool isRemoteFileSystem(const QByteArray& path) {
    struct statfs fs;
    return statfs(path.constData(), &fs) == 0 && isRemoteType((unsigned long)(fs.f_type));
}

void stampFolder(KeptFolder& folder, const struct stat& st, const struct stat* hiddenList,
                 bool remote, timespec start, qint64 settleNs) {
    folder.stamp = stampOf(st);
    if (remote) folder.flags |= KeptFolder::kRemote;
    bool settled = isSettled(folder.stamp, start, settleNs);
    if (hiddenList) {
        folder.flags |= KeptFolder::kHiddenList;
        folder.hiddenList = stampOf(*hiddenList);
        settled = settled && isSettled(folder.hiddenList, start, settleNs);
    }
    if (settled) folder.flags |= KeptFolder::kTrusted;
}

bool hiddenListUnchanged(const KeptFolder& folder, const QByteArray& path) {
    if (!(folder.flags & KeptFolder::kHiddenList)) return true;
    struct stat st;
    return statAnyLength(hiddenListPath(path), &st, false) == 0 && stampOf(st) == folder.hiddenList;
}

}  // namespace tarnwick
