// Any text as a prefix's system.reg: the drive-type reader ends, gives only
// types it knows, does not care whether lines end in LF or CR LF, and a
// well-formed drives section appended later still counts.

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "platform/posix/system_reg.h"

namespace {

void Require(bool condition) {
  if (!condition) std::abort();
}

std::string WithCrLf(std::string_view text) {
  std::string out;
  for (char c : text) {
    if (c == '\n') out += '\r';
    out += c;
  }
  return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const std::array<int32_t, 26> types = platform::posix::ParseDriveTypes(text);
  for (int32_t type : types) {
    Require(type == platform::posix::kDriveTypeUnlisted || (type >= 1 && type <= 5));
  }
  Require(platform::posix::ParseDriveTypes(WithCrLf(text)) == types);

  const std::string appended =
      std::string(text) + "\n[Software\\\\Wine\\\\Drives] 1700000000\n\"Q:\" = \"cdrom\"\n";
  std::array<int32_t, 26> expected = types;
  expected['q' - 'a'] = 4;
  Require(platform::posix::ParseDriveTypes(appended) == expected);
  return 0;
}
