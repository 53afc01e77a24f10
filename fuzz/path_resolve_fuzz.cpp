// Any names in a real folder of a Wine-style drive, and any Windows path
// looked up there: the stored name an exact spelling finds is itself, a
// spelling that differs in letter case finds the same stored name whatever
// order the folder lists its entries in, and every path the resolver hands
// back names what it says.

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "platform/posix/path_resolver.h"
#include "platform/posix/unicode.h"
#include "platform/text.h"
#include "platform/win_path.h"

namespace {

namespace px = platform::posix;

void Require(bool condition) {
  if (!condition) std::abort();
}

// The drive's folder as the prefix names it, and the folder it leads to.
std::string drive_path;
std::string drive_folder;

bool Creatable(std::string_view name) {
  return !name.empty() && name.size() <= 255 && name != "." && name != ".." &&
         name.find('/') == std::string_view::npos && name.find('\0') == std::string_view::npos;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  char pattern[] = "/tmp/lumbrel-resolve-XXXXXX";
  const char* prefix = mkdtemp(pattern);
  if (prefix == nullptr) std::abort();
  const std::string dosdevices = std::string(prefix) + "/dosdevices";
  drive_folder = std::string(prefix) + "/f";
  if (mkdir(dosdevices.c_str(), 0755) != 0 || mkdir(drive_folder.c_str(), 0755) != 0 ||
      symlink(drive_folder.c_str(), (dosdevices + "/f:").c_str()) != 0) {
    std::abort();
  }
  drive_path = dosdevices + "/f:";
  setenv("WINEPREFIX", prefix, 1);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::vector<std::string> pieces;
  std::string_view input(reinterpret_cast<const char*>(data), size);
  while (pieces.size() < 5) {
    const size_t cut = input.find('\0');
    pieces.emplace_back(input.substr(0, cut));
    if (cut == std::string_view::npos) break;
    input.remove_prefix(cut + 1);
  }
  const std::string wanted = pieces[0];
  std::vector<std::string> stored;
  for (size_t k = 1; k < pieces.size(); ++k) {
    if (!Creatable(pieces[k])) continue;
    const std::string path = drive_folder + '/' + pieces[k];
    const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL, 0644);
    if (fd >= 0) {
      close(fd);
      stored.push_back(pieces[k]);
    }
  }

  px::ResolvedPath found;
  const px::Resolution result = px::ResolvePath("F:\\" + wanted, found);
  platform::win_path::DrivePath parts;
  Require(platform::win_path::SplitDrivePath("F:\\" + wanted, parts));
  if (parts.components.empty()) {
    Require(result == px::Resolution::kFound && found.is_folder && found.windows_path == "F:\\");
  } else if (parts.components.size() > 1) {
    // Only files were made, so nothing can lead further down.
    Require(result == px::Resolution::kNoFolder);
  } else {
    const std::string& name = parts.components[0];
    std::vector<std::string> matches;
    for (const std::string& candidate : stored) {
      if (px::CompareNoCase(candidate, name) == 0) matches.push_back(candidate);
    }
    std::string expected = name;
    if (std::find(stored.begin(), stored.end(), name) == stored.end() && !matches.empty()) {
      expected = *std::min_element(matches.begin(), matches.end());
    }
    Require(result == (matches.empty() ? px::Resolution::kMissing : px::Resolution::kFound));
    Require(found.name == expected);
    Require(found.linux_path == drive_path + '/' + expected);
    Require(found.windows_path == "F:\\" + expected);
    Require(!found.is_folder && !found.alias);
    Require(platform::UpperCase(found.name) == platform::UpperCase(name));
  }
  for (const std::string& name : stored) unlink((drive_folder + '/' + name).c_str());
  return 0;
}
