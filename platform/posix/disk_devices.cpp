#include "platform/posix/disk_devices.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string_view>
#include <unordered_map>

namespace platform::posix {
namespace {

// By the type the mount table gives. The type, not statfs's magic number:
// devtmpfs answers as tmpfs there, and every FUSE server as FUSE, so a remote
// sshfs could not be told from a local NTFS disk. Any type not listed counts
// as a disk; so do plain tmpfs (/tmp) and FUSE servers without a listed type.
constexpr std::string_view kNotDisks[] = {
    // The kernel's own: processes, devices, control groups, the system's
    // objects, settings, traces and security modules.
    "autofs", "binder", "binfmt_misc", "bpf", "cgroup", "cgroup2", "configfs", "cpuset", "debugfs",
    "devpts", "devtmpfs", "efivarfs", "fusectl", "hugetlbfs", "mqueue", "nfsd", "nsfs", "proc",
    "pstore", "resctrl", "rpc_pipefs", "securityfs", "selinuxfs", "smackfs", "sysfs", "tracefs",
    "xenfs",
    // Servers that show the kernel's files again, or files lent to sandboxes.
    "fuse.lxcfs", "fuse.portal",
    // Another computer's files (9p: a virtual machine's host, or Windows under WSL).
    "9p", "afs", "ceph", "cifs", "coda", "davfs", "fuse.ceph-fuse", "fuse.curlftpfs",
    "fuse.glusterfs", "fuse.gvfsd-fuse", "fuse.rclone", "fuse.s3fs", "fuse.sshfs", "glusterfs",
    "lustre", "ncpfs", "nfs", "nfs4", "orangefs", "smb3", "smbfs"};

bool IsDiskType(std::string_view type) {
  return std::find(std::begin(kNotDisks), std::end(kNotDisks), type) == std::end(kNotDisks);
}

// Every device in the mount table, with whether it is a disk. Each line reads
// "ID PARENT MAJOR:MINOR ROOT MOUNT-POINT OPTIONS [TAGS...] - TYPE SOURCE ...".
void ReadMountTable(std::unordered_map<uint64_t, bool>& known) {
  std::FILE* table = std::fopen("/proc/self/mountinfo", "re");
  if (table == nullptr) return;
  char* line = nullptr;
  size_t capacity = 0;
  while (getline(&line, &capacity, table) > 0) {
    unsigned major_number = 0;
    unsigned minor_number = 0;
    const char* separator = std::strstr(line, " - ");
    if (separator == nullptr ||
        std::sscanf(line, "%*u %*u %u:%u", &major_number, &minor_number) != 2) {
      continue;
    }
    const std::string_view rest(separator + 3);
    known[makedev(major_number, minor_number)] = IsDiskType(rest.substr(0, rest.find(' ')));
  }
  std::free(line);
  std::fclose(table);
}

}  // namespace

bool CachedDeviceOf(int dir_fd, const char* name, uint64_t& device) {
  struct statx info;
  if (statx(dir_fd, name, AT_NO_AUTOMOUNT | AT_STATX_DONT_SYNC, STATX_TYPE, &info) != 0) {
    return false;
  }
  device = makedev(info.stx_dev_major, info.stx_dev_minor);
  return true;
}

bool IsDiskDevice(uint64_t device) {
  static std::unordered_map<uint64_t, bool> known;
  auto found = known.find(device);
  if (found == known.end()) {
    // Mounted since the last read, or never named there (a btrfs subvolume
    // has a device of its own): one more read decides for good.
    ReadMountTable(known);
    found = known.try_emplace(device, true).first;
  }
  return found->second;
}

}  // namespace platform::posix
