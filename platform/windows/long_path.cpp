#include "platform/windows/long_path.h"

#include "platform/error.h"
#include "platform/windows/wide_string.h"
#include "platform/windows/win32.h"

namespace platform::windows {

win_path::DrivePath ResolveDrivePath(const std::string& path) {
  win_path::DrivePath drive_path;
  if (win_path::SplitDrivePath(path, drive_path)) return drive_path;
  // Relative forms ("a\b", "C:a", "\a") are completed by the system; its
  // answer must then be a drive path like any other.
  const std::wstring wide = Widen(path);
  const DWORD size = GetFullPathNameW(wide.c_str(), 0, nullptr, nullptr);
  if (size == 0) throw PlatformError(kPathNotFound);
  std::wstring full(size, L'\0');
  const DWORD length = GetFullPathNameW(wide.c_str(), size, full.data(), nullptr);
  if (length == 0 || length >= size) throw PlatformError(kPathNotFound);
  full.resize(length);
  if (!win_path::SplitDrivePath(Narrow(WithoutExtendedPrefix(full)), drive_path)) {
    throw PlatformError(kPathNotFound);
  }
  return drive_path;
}

std::wstring ExtendedPath(const win_path::DrivePath& path) {
  return L"\\\\?\\" + Widen(win_path::JoinDrivePath(path));
}

std::wstring ExtendedPath(const std::string& path) {
  return ExtendedPath(ResolveDrivePath(path));
}

std::wstring WithoutExtendedPrefix(std::wstring_view path) {
  constexpr std::wstring_view kUnc = L"\\\\?\\UNC\\";
  constexpr std::wstring_view kLocal = L"\\\\?\\";
  if (path.substr(0, kUnc.size()) == kUnc) return L"\\\\" + std::wstring(path.substr(kUnc.size()));
  if (path.substr(0, kLocal.size()) == kLocal) return std::wstring(path.substr(kLocal.size()));
  return std::wstring(path);
}

}  // namespace platform::windows
