#include "platform/process.h"

#include <limits.h>
#include <stdlib.h>

#include <memory>

#include "platform/error.h"
#include "platform/posix/wine_drives.h"
#include "platform/test_hooks.h"

namespace platform {
namespace {

// The canonical form of `path`, or "" when it leads nowhere.
std::string RealPath(const std::string& path) {
  std::unique_ptr<char, decltype(&free)> real(realpath(path.c_str(), nullptr), free);
  return real ? std::string(real.get()) : std::string();
}

bool IsInside(const std::string& path, const std::string& folder) {
  if (folder == "/") return true;
  return path.compare(0, folder.size(), folder) == 0 &&
         (path.size() == folder.size() || path[folder.size()] == '/');
}

}  // namespace

// A native program loads only the libraries its linker recorded.
void HardenProcess() {}

std::string ExecutableFolder() {
  if (std::string stand_in = ExecutableFolderStandIn(); !stand_in.empty()) return stand_in;
  std::string program = RealPath("/proc/self/exe");
  size_t slash = program.rfind('/');
  std::string folder = program.substr(0, slash == 0 ? 1 : slash);
  // The drive whose folder holds the program most closely, as Wine maps it.
  std::string prefix = posix::PrefixFolder();
  char best_letter = '\0';
  std::string best_root;
  for (char letter = 'A'; letter <= 'Z'; ++letter) {
    std::string root = RealPath(posix::DriveFolder(prefix, letter));
    if (root.empty() || !IsInside(folder, root)) continue;
    if (best_letter == '\0' || root.size() > best_root.size()) {
      best_letter = letter;
      best_root = std::move(root);
    }
  }
  if (best_letter == '\0') {
    throw PlatformError(kPathNotFound, "The program's folder " + folder + " is on no Wine drive")
        .WithPath(folder);
  }
  std::string windows{best_letter, ':', '\\'};
  size_t skip = best_root == "/" ? 1 : best_root.size() + 1;
  if (skip < folder.size()) windows += folder.substr(skip);
  for (char& c : windows) {
    if (c == '/') c = '\\';
  }
  return windows;
}

}  // namespace platform
