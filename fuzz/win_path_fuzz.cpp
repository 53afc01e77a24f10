// Any text as a Windows path: splitting gives clean components and is
// stable once joined again, the parent of a path is a prefix of it with
// separators made uniform, and joining a name onto a folder then taking the
// parent gives the folder back.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "platform/win_path.h"

namespace {

namespace wp = platform::win_path;

void Require(bool condition) {
  if (!condition) std::abort();
}

bool IsSeparator(char c) {
  return c == '\\' || c == '/';
}

std::string Uniform(std::string_view path) {
  std::string out(path);
  for (char& c : out) {
    if (c == '/') c = '\\';
  }
  return out;
}

void CheckSplit(std::string_view path) {
  wp::DrivePath parts;
  if (!wp::SplitDrivePath(path, parts)) {
    Require(path.size() < 3 || path[1] != ':' || !IsSeparator(path[2]) ||
            !((path[0] >= 'a' && path[0] <= 'z') || (path[0] >= 'A' && path[0] <= 'Z')));
    return;
  }
  Require(parts.drive >= 'A' && parts.drive <= 'Z');
  for (const std::string& component : parts.components) {
    Require(!component.empty() && component != "." && component != "..");
    Require(component.find_first_of("\\/") == std::string::npos);
  }
  const std::string joined = wp::JoinDrivePath(parts);
  Require(joined.find('/') == std::string::npos);
  wp::DrivePath again;
  Require(wp::SplitDrivePath(joined, again));
  Require(again.drive == parts.drive && again.components == parts.components);

  // The parent of a joined path is the path one component shorter.
  if (!parts.components.empty()) {
    wp::DrivePath shorter = parts;
    shorter.components.pop_back();
    Require(wp::ParentFolderName(joined) == wp::JoinDrivePath(shorter));
    Require(wp::ParentFolderName(joined + "\\") == wp::JoinDrivePath(shorter));
    Require(wp::Join(wp::JoinDrivePath(shorter), parts.components.back()) == joined);
  } else {
    Require(wp::ParentFolderName(joined).empty());
  }
}

void CheckParent(std::string_view path) {
  const std::string parent = wp::ParentFolderName(path);
  if (parent.empty()) return;
  const std::string uniform = Uniform(path);
  if (parent == "\\" || (parent.size() == 2 && parent[1] == ':')) {
    Require(uniform.compare(0, parent.size(), parent) == 0 || uniform[0] == '\\');
    return;
  }
  Require(uniform.compare(0, parent.size(), parent) == 0);
  Require(parent.size() < uniform.size());
  // No trailing separator except for a drive root ("C:\").
  if (IsSeparator(parent.back())) Require(parent.size() == 3 && parent[1] == ':');
  Require(parent.find('/') == std::string::npos);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view path(reinterpret_cast<const char*>(data), size);
  CheckSplit(path);
  CheckParent(path);
  Require(wp::HasWildcards(path) == (path.find_first_of("*?") != std::string_view::npos));
  return 0;
}
