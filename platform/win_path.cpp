#include "platform/win_path.h"

#include "platform/text.h"

namespace platform::win_path {
namespace {

bool IsSeparator(char c) {
  return c == '\\' || c == '/';
}

bool IsLetter(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

}  // namespace

bool SplitDrivePath(std::string_view path, DrivePath& out) {
  if (path.size() < 3 || !IsLetter(path[0]) || path[1] != ':' || !IsSeparator(path[2])) {
    return false;
  }
  out.drive = AsciiUpper(path[0]);
  out.components.clear();
  size_t i = 3;
  while (i < path.size()) {
    size_t end = i;
    while (end < path.size() && !IsSeparator(path[end])) ++end;
    std::string_view part = path.substr(i, end - i);
    if (part == "..") {
      if (!out.components.empty()) out.components.pop_back();
    } else if (!part.empty() && part != ".") {
      out.components.emplace_back(part);
    }
    i = end + 1;
  }
  return true;
}

std::string JoinDrivePath(const DrivePath& path) {
  std::string text{path.drive, ':', '\\'};
  for (size_t i = 0; i < path.components.size(); ++i) {
    if (i > 0) text += '\\';
    text += path.components[i];
  }
  return text;
}

std::string Join(std::string_view folder, std::string_view name) {
  // Once per file of a walk, twice even: one allocation, no regrowth.
  const bool separate = !folder.empty() && !IsSeparator(folder.back());
  std::string text;
  text.reserve(folder.size() + (separate ? 1 : 0) + name.size());
  text.append(folder);
  if (separate) text += '\\';
  text.append(name);
  return text;
}

std::string ParentFolderName(std::string_view path) {
  size_t end = path.size();
  while (end > 0 && IsSeparator(path[end - 1])) --end;
  size_t cut = end;
  while (cut > 0 && !IsSeparator(path[cut - 1])) --cut;
  // "C:name" and "C:\" have no separator left before their last component
  // that leads anywhere: the drive itself is no parent folder.
  if (cut == 0) {
    if (end > 2 && path[1] == ':' && IsLetter(path[0])) return std::string(path.substr(0, 2));
    return "";
  }
  size_t keep = cut;
  while (keep > 0 && IsSeparator(path[keep - 1])) --keep;
  if (keep == 0) return "\\";
  if (keep == 2 && path[1] == ':' && IsLetter(path[0]))
    return std::string(path.substr(0, 2)) + "\\";
  std::string parent(path.substr(0, keep));
  for (char& c : parent) {
    if (c == '/') c = '\\';
  }
  return parent;
}

bool IsValidFileName(std::string_view name) {
  if (name.empty() || name.back() == '.' || name.back() == ' ') return false;
  for (const char c : name) {
    if (static_cast<unsigned char>(c) < 0x20 ||
        std::string_view("\\/:*?\"<>|").find(c) != std::string_view::npos) {
      return false;
    }
  }
  // The device names count with any extension and trailing spaces before it.
  std::string stem(name.substr(0, name.find('.')));
  while (!stem.empty() && stem.back() == ' ') stem.pop_back();
  for (char& c : stem) c = AsciiUpper(c);
  if (stem == "CON" || stem == "PRN" || stem == "AUX" || stem == "NUL") return false;
  return !(stem.size() == 4 && (stem.compare(0, 3, "COM") == 0 || stem.compare(0, 3, "LPT") == 0) &&
           stem[3] >= '1' && stem[3] <= '9');
}

bool HasWildcards(std::string_view path) {
  return path.find_first_of("*?") != std::string_view::npos;
}

}  // namespace platform::win_path
