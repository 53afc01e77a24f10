#include "platform/posix/system_reg.h"

#include <string>

#include "platform/file_system.h"
#include "platform/text.h"

namespace platform::posix {
namespace {

std::string_view Trim(std::string_view text) {
  size_t begin = text.find_first_not_of(" \t\r");
  if (begin == std::string_view::npos) return {};
  size_t end = text.find_last_not_of(" \t\r");
  return text.substr(begin, end - begin + 1);
}

// The text between the quotes of `"text"` at the start of `line`, leaving
// `line` just after the closing quote; false when there is no such string.
bool TakeQuoted(std::string_view& line, std::string_view& text) {
  if (line.empty() || line.front() != '"') return false;
  size_t close = line.find('"', 1);
  if (close == std::string_view::npos) return false;
  text = line.substr(1, close - 1);
  line = Trim(line.substr(close + 1));
  return true;
}

int32_t TypeByName(std::string_view name) {
  if (EqualsIgnoringAsciiCase(name, "hd")) return kDriveFixed;
  if (EqualsIgnoringAsciiCase(name, "floppy")) return kDriveRemovable;
  if (EqualsIgnoringAsciiCase(name, "network")) return kDriveNetwork;
  if (EqualsIgnoringAsciiCase(name, "cdrom")) return kDriveCdRom;
  if (EqualsIgnoringAsciiCase(name, "ramdisk")) return kDriveRamDisk;
  return kDriveTypeUnlisted;
}

// The section header's key with the file's doubled backslashes undone.
std::string SectionKey(std::string_view header) {
  std::string key;
  for (size_t i = 0; i < header.size(); ++i) {
    key += header[i];
    if (header[i] == '\\' && i + 1 < header.size() && header[i + 1] == '\\') ++i;
  }
  return key;
}

void ReadDriveValue(std::string_view line, std::array<int32_t, 26>& types) {
  std::string_view name;
  std::string_view value;
  if (!TakeQuoted(line, name) || line.empty() || line.front() != '=') return;
  line = Trim(line.substr(1));
  if (!TakeQuoted(line, value)) return;
  if (name.size() != 2 || name[1] != ':') return;
  char letter = AsciiLower(name[0]);
  if (letter < 'a' || letter > 'z') return;
  types[static_cast<size_t>(letter - 'a')] = TypeByName(value);
}

}  // namespace

std::array<int32_t, 26> ParseDriveTypes(std::string_view system_reg) {
  std::array<int32_t, 26> types;
  types.fill(kDriveTypeUnlisted);
  bool in_drives = false;
  while (!system_reg.empty()) {
    size_t end = system_reg.find('\n');
    std::string_view line = Trim(system_reg.substr(0, end));
    system_reg = end == std::string_view::npos ? std::string_view{} : system_reg.substr(end + 1);
    if (line.empty() || line.front() == ';' || line.front() == '#') continue;
    if (line.front() == '[') {
      size_t close = line.find(']');
      in_drives = close != std::string_view::npos &&
                  EqualsIgnoringAsciiCase(SectionKey(Trim(line.substr(1, close - 1))),
                                          "Software\\Wine\\Drives");
    } else if (in_drives) {
      ReadDriveValue(line, types);
    }
  }
  return types;
}

}  // namespace platform::posix
