#include "platform/posix/wine_drives.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "platform/error.h"
#include "platform/file_system.h"
#include "platform/posix/descriptor.h"
#include "platform/posix/system_reg.h"
#include "platform/text.h"

namespace platform::posix {
namespace {

// Far above any real prefix's registry; a larger file is no drive list.
constexpr size_t kMaxSystemReg = 64u << 20;

}  // namespace

std::string PrefixFolder() {
  const char* variable = std::getenv("WINEPREFIX");
  const char* home = std::getenv("HOME");
  std::string prefix = variable != nullptr && *variable != '\0'
                           ? variable
                           : std::string(home != nullptr ? home : "") + "/.wine";
  // As Wine itself refuses: another user's prefix holds that user's links,
  // which would lead this program's writes wherever that user likes.
  struct stat info;
  if (stat(prefix.c_str(), &info) == 0 && info.st_uid != geteuid()) {
    throw PlatformError(kPermissionDenied, "The Wine prefix " + prefix + " is not owned by you")
        .WithPath(prefix);
  }
  return prefix;
}

std::string DriveFolder(const std::string& prefix, char letter) {
  return prefix + "/dosdevices/" + AsciiLower(letter) + ':';
}

std::array<int32_t, 26> ReadListedDriveTypes(const std::string& prefix) {
  const std::string path = prefix + "/system.reg";
  const auto fail = [&path](const std::string& why) {
    return PlatformError(kPathFileAccessError, "Cannot read the drive list " + path + ": " + why)
        .WithPath(path);
  };
  // Non-blocking, so that a FIFO in its place cannot stall the program.
  const Descriptor file{open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC)};
  const int fd = file.Get();
  if (fd < 0 && errno == ENOENT) return ParseDriveTypes("");
  if (fd < 0) throw fail(std::strerror(errno));
  struct stat info;
  if (fstat(fd, &info) != 0) throw fail(std::strerror(errno));
  if (!S_ISREG(info.st_mode)) throw fail("it is not a regular file");
  // Read one byte past the limit, so a file that grew meanwhile is caught.
  std::string text;
  char block[65536];
  ssize_t size = 0;
  while (text.size() <= kMaxSystemReg && (size = read(fd, block, sizeof block)) > 0) {
    text.append(block, static_cast<size_t>(size));
  }
  if (size < 0) throw fail(std::strerror(errno));
  if (text.size() > kMaxSystemReg) throw fail("it is larger than 64 MiB");
  return ParseDriveTypes(text);
}

int32_t DriveTypeOf(char upper_letter, int32_t listed, const std::string& drive_folder) {
  if (listed != kDriveTypeUnlisted) return listed;
  struct stat info;
  if (stat(drive_folder.c_str(), &info) != 0) return kDriveUnknown;
  return upper_letter == 'A' || upper_letter == 'B' ? kDriveRemovable : kDriveFixed;
}

}  // namespace platform::posix
