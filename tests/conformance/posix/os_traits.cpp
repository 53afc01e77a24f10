#include <sys/stat.h>

#include <algorithm>
#include <cstdlib>

#include "platform/file_system.h"
#include "tests/conformance/conformance_support.h"

namespace lumbrel_conformance {

int32_t UnreadableListedDriveType() {
  return platform::kDriveFixed;
}

bool HasReadOnlyMark(const std::string& windows_path) {
  const char* prefix = std::getenv("WINEPREFIX");
  if (prefix == nullptr) return false;
  char drive = static_cast<char>(windows_path[0] - 'A' + 'a');
  std::string path = std::string(prefix) + "/dosdevices/" + drive + ":/" + windows_path.substr(3);
  std::replace(path.begin(), path.end(), '\\', '/');
  struct stat info;
  return stat(path.c_str(), &info) == 0 && (info.st_mode & 0222) == 0;
}

}  // namespace lumbrel_conformance
