// Any value of the extended attribute Wine keeps DOS attributes in: the
// reader accepts exactly "0x" and one to eight hex digits (anything may
// follow a NUL) and gives their value, else -1.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "platform/posix/entry_attributes.h"

namespace {

void Require(bool condition) {
  if (!condition) std::abort();
}

// The value as a second reading of the same rule gives it.
int64_t Expected(std::string_view value) {
  value = value.substr(0, value.find('\0'));
  if (value.size() < 3 || value.size() > 10 || value[0] != '0') return -1;
  if (value[1] != 'x' && value[1] != 'X') return -1;
  uint64_t bits = 0;
  for (char c : value.substr(2)) {
    const std::string_view digits = "0123456789abcdef";
    const char lower = c >= 'A' && c <= 'F' ? static_cast<char>(c - 'A' + 'a') : c;
    const size_t digit = digits.find(lower);
    if (lower == '\0' || digit == std::string_view::npos) return -1;
    bits = bits * 16 + digit;
  }
  return static_cast<int64_t>(bits & 0x7FFFFFFF);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view value(reinterpret_cast<const char*>(data), size);
  const int32_t bits = platform::posix::ParseDosAttrib(value);
  Require(bits >= -1);
  Require(bits == Expected(value));
  return 0;
}
