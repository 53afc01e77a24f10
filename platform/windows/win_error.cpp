#include "platform/windows/win_error.h"

#include <string>

#include "platform/windows/wide_string.h"
#include "platform/windows/win32.h"

namespace platform::windows {
namespace {

std::string SystemText(DWORD code) {
  wchar_t* buffer = nullptr;
  const DWORD length = FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, code, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
  std::wstring text(buffer != nullptr ? buffer : L"", length);
  LocalFree(buffer);
  while (!text.empty() && (text.back() == L'\r' || text.back() == L'\n' || text.back() == L' ' ||
                           text.back() == L'.')) {
    text.pop_back();
  }
  if (text.empty()) return "System error " + std::to_string(code);
  return Narrow(text);
}

}  // namespace

PlatformError ErrorFromCode(uint32_t code) {
  switch (code) {
    case ERROR_FILE_NOT_FOUND: return PlatformError(kFileNotFound);
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_NAME:
    case ERROR_BAD_PATHNAME:
    case ERROR_INVALID_DRIVE: return PlatformError(kPathNotFound);
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
    case ERROR_WRITE_PROTECT: return PlatformError(kPermissionDenied);
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL: return PlatformError(kDiskFull);
    case ERROR_FILE_EXISTS:
    case ERROR_ALREADY_EXISTS: return PlatformError(kFileAlreadyExists);
    case ERROR_NOT_READY: return PlatformError(kDiskNotReady);
    default: return PlatformError(kPathFileAccessError, SystemText(code));
  }
}

void ThrowLastError() {
  throw ErrorFromCode(GetLastError());
}

}  // namespace platform::windows
