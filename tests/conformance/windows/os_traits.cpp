#include <windows.h>

#include "platform/file_system.h"
#include "tests/conformance/conformance_support.h"

namespace lumbrel_conformance {

int32_t UnreadableListedDriveType() {
  return platform::kDriveUnknown;
}

bool HasReadOnlyMark(const std::string& windows_path) {
  int size = MultiByteToWideChar(CP_UTF8, 0, windows_path.c_str(), -1, nullptr, 0);
  std::wstring wide(static_cast<size_t>(size), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, windows_path.c_str(), -1, wide.data(), size);
  DWORD attributes = GetFileAttributesW(wide.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0;
}

}  // namespace lumbrel_conformance
