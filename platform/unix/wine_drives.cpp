#include "platform/unix/wine_drives.h"

#include <sys/stat.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "platform/file_system.h"
#include "platform/unix/system_reg.h"

namespace platform::posix {

std::string PrefixFolder() {
  const char* prefix = std::getenv("WINEPREFIX");
  if (prefix != nullptr && *prefix != '\0') return prefix;
  const char* home = std::getenv("HOME");
  return std::string(home != nullptr ? home : "") + "/.wine";
}

std::string DriveFolder(const std::string& prefix, char letter) {
  char lower = letter >= 'A' && letter <= 'Z' ? static_cast<char>(letter - 'A' + 'a') : letter;
  return prefix + "/dosdevices/" + lower + ':';
}

std::array<int32_t, 26> ReadListedDriveTypes(const std::string& prefix) {
  std::ifstream file(prefix + "/system.reg", std::ios::binary);
  std::ostringstream text;
  text << file.rdbuf();
  return ParseDriveTypes(text.str());
}

int32_t DriveTypeOf(char upper_letter, int32_t listed, const std::string& drive_folder) {
  if (listed != kDriveTypeUnlisted) return listed;
  struct stat info;
  if (stat(drive_folder.c_str(), &info) != 0) return kDriveUnknown;
  return upper_letter == 'A' || upper_letter == 'B' ? kDriveRemovable : kDriveFixed;
}

}  // namespace platform::posix
