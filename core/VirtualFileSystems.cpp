#include "VirtualFileSystems.h"

#include <QByteArray>
#include <QFile>
#include <QList>

#include <algorithm>
#include <array>
#include <string_view>

#include <linux/magic.h>
#include <sys/statfs.h>
#include <sys/sysmacros.h>

namespace tarnwick {

namespace {

constexpr std::array<std::string_view, 24> kVirtualTypes = {
    "proc",      "sysfs",   "devtmpfs",   "devpts",      "cgroup", "cgroup2",
    "debugfs",   "tracefs", "securityfs", "pstore",      "bpf",    "configfs",
    "fusectl",   "mqueue",  "hugetlbfs",  "binfmt_misc", "autofs", "efivarfs",
    "selinuxfs", "nsfs",    "rpc_pipefs", "nfsd",        "xenfs",  "rdt"};

// statfs magic numbers of the same file systems, for when no mount table can be read; the
// kernel's own names, so that none can be mistyped (configfs has none in linux/magic.h).
constexpr unsigned long kConfigfsMagic = 0x62656570;
constexpr std::array<unsigned long, 13> kVirtualMagics = {
    PROC_SUPER_MAGIC, SYSFS_MAGIC,   DEVPTS_SUPER_MAGIC, CGROUP_SUPER_MAGIC, CGROUP2_SUPER_MAGIC,
    DEBUGFS_MAGIC,    TRACEFS_MAGIC, SECURITYFS_MAGIC,   PSTOREFS_MAGIC,     BPF_FS_MAGIC,
    kConfigfsMagic,   NSFS_MAGIC,    EFIVARFS_MAGIC,
};

bool isVirtualType(std::string_view type) {
    return std::find(kVirtualTypes.begin(), kVirtualTypes.end(), type) != kVirtualTypes.end();
}

}  // namespace

VirtualDevices VirtualDevices::fromMountTable() {
    VirtualDevices result;
    QFile table(QStringLiteral("/proc/self/mountinfo"));
    if (!table.open(QIODevice::ReadOnly)) return result;
    // "36 35 98:0 /root /mnt opts [optional fields] - fstype source superopts"
    for (const QByteArray& line : table.readAll().split('\n')) {
        const QList<QByteArray> fields = line.split(' ');
        qsizetype dash = fields.indexOf("-");
        if (fields.size() < 3 || dash < 0 || dash + 1 >= fields.size()) continue;
        const QByteArray& type = fields[dash + 1];
        if (!isVirtualType(std::string_view(type.constData(), size_t(type.size())))) continue;
        const QList<QByteArray> numbers = fields[2].split(':');
        if (numbers.size() != 2) continue;
        result.m_devices.push_back(makedev(numbers[0].toUInt(), numbers[1].toUInt()));
    }
    return result;
}

bool VirtualDevices::contains(dev_t device) const {
    return std::find(m_devices.begin(), m_devices.end(), device) != m_devices.end();
}

bool isVirtualFileSystem(int fd, dev_t device, const VirtualDevices& known) {
    if (known.contains(device)) return true;
    struct statfs info;
    if (fstatfs(fd, &info) != 0) return false;
    auto magic = static_cast<unsigned long>(info.f_type);
    return std::find(kVirtualMagics.begin(), kVirtualMagics.end(), magic) != kVirtualMagics.end();
}

}  // namespace tarnwick
