#include "platform/windows/wide_string.h"

#include <climits>

#include "platform/error.h"
#include "platform/windows/win32.h"

namespace platform::windows {
namespace {

int CheckedLength(size_t size) {
  if (size > static_cast<size_t>(INT_MAX)) throw PlatformError(kPathFileAccessError);
  return static_cast<int>(size);
}

}  // namespace

std::wstring Widen(std::string_view utf8) {
  if (utf8.empty()) return {};
  const int in = CheckedLength(utf8.size());
  const int out = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), in, nullptr, 0);
  std::wstring result(static_cast<size_t>(out), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, utf8.data(), in, result.data(), out);
  return result;
}

std::string Narrow(std::wstring_view utf16) {
  if (utf16.empty()) return {};
  const int in = CheckedLength(utf16.size());
  const int out = WideCharToMultiByte(CP_UTF8, 0, utf16.data(), in, nullptr, 0, nullptr, nullptr);
  std::string result(static_cast<size_t>(out), '\0');
  WideCharToMultiByte(CP_UTF8, 0, utf16.data(), in, result.data(), out, nullptr, nullptr);
  return result;
}

}  // namespace platform::windows
