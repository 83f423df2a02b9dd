#pragma once

#include <sys/types.h>

#include <vector>

namespace tarnwick {

// Devices of the kernel's virtual file systems (proc, sysfs, devtmpfs, cgroup, ...), read from
// the mount table once per listing: a walk never descends into them.
class VirtualDevices {
public:
    static VirtualDevices fromMountTable();
    bool contains(dev_t device) const;

private:
    std::vector<dev_t> m_devices;
};

// True when the folder open as `fd` (a mount point, on `device`) belongs to a virtual file system.
bool isVirtualFileSystem(int fd, dev_t device, const VirtualDevices& known);

}  // namespace tarnwick
