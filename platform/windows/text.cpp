#include "platform/text.h"

#include <climits>
#include <cstddef>
#include <string_view>

#include "platform/windows/wide_string.h"
#include "platform/windows/win32.h"

namespace platform {
namespace {

// The length of the well-formed UTF-8 sequence at `at`, or 0.
size_t SequenceLength(std::string_view text, size_t at) {
  const auto byte = [&](size_t i) { return static_cast<unsigned char>(text[i]); };
  const unsigned char lead = byte(at);
  if (lead < 0x80) return 1;
  size_t length = 0;
  unsigned char low = 0x80;
  unsigned char high = 0xBF;
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    if (lead == 0xE0) low = 0xA0;
    if (lead == 0xED) high = 0x9F;  // no surrogates
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    if (lead == 0xF0) low = 0x90;
    if (lead == 0xF4) high = 0x8F;
  } else {
    return 0;
  }
  if (at + length > text.size()) return 0;
  if (byte(at + 1) < low || byte(at + 1) > high) return 0;
  for (size_t i = 2; i < length; ++i) {
    if (byte(at + i) < 0x80 || byte(at + i) > 0xBF) return 0;
  }
  return length;
}

std::string UpperRun(std::string_view run) {
  std::wstring wide = windows::Widen(run);
  const int length = static_cast<int>(wide.size());
  // Simple case mapping keeps the length in UTF-16 units.
  if (LCMapStringEx(LOCALE_NAME_INVARIANT, LCMAP_UPPERCASE, wide.data(), length, wide.data(),
                    length, nullptr, nullptr, 0) == 0) {
    return std::string(run);
  }
  return windows::Narrow(wide);
}

}  // namespace

std::string UpperCase(const std::string& text) {
  std::string result;
  result.reserve(text.size());
  size_t run_start = 0;
  size_t at = 0;
  const auto flush_run = [&] {
    if (at > run_start)
      result += UpperRun(std::string_view(text).substr(run_start, at - run_start));
  };
  while (at < text.size()) {
    const size_t length = SequenceLength(text, at);
    if (length != 0 && at - run_start + length <= static_cast<size_t>(INT_MAX / 2)) {
      at += length;
      continue;
    }
    flush_run();
    if (length == 0) {
      result += text[at];  // not UTF-8: passed through untouched
      ++at;
    }
    run_start = at;
  }
  flush_run();
  return result;
}

}  // namespace platform
