#pragma once

// Which mounted file systems hold a disk of this computer. A search walks
// disks: not the kernel's own file systems (processes, devices, the system's
// objects), which would lead it into other processes' folders, and not
// another computer's, which network drives already keep out of it.

#include <cstdint>

namespace platform::posix {

// The device (st_dev) that `name` in the folder open as `dir_fd` leads to,
// links followed, from what the system already holds: no automount is set off
// and no server asked. False when it cannot be read.
bool CachedDeviceOf(int dir_fd, const char* name, uint64_t& device);

// False for a file system of the kernel's own or of another computer (the
// types are listed in disk_devices.cpp); true for every other, and for a
// device the mount table does not name. The table is read when first needed
// and again for each device it did not name.
bool IsDiskDevice(uint64_t device);

}  // namespace platform::posix
