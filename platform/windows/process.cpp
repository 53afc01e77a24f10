#include "platform/process.h"

#include <string>

#include "platform/error.h"
#include "platform/win_path.h"
#include "platform/windows/long_path.h"
#include "platform/windows/wide_string.h"
#include "platform/windows/win32.h"
#include "platform/windows/win_error.h"

namespace platform {

void HardenProcess() {
  // Looked up rather than imported, so that a system without it still starts.
  using SetDefaultDirectories = decltype(&SetDefaultDllDirectories);
  HMODULE kernel = GetModuleHandleW(L"kernel32.dll");
  FARPROC found = kernel != nullptr ? GetProcAddress(kernel, "SetDefaultDllDirectories") : nullptr;
  // Through the generic function type, which converts to any other without
  // the compiler objecting.
  auto set_default = reinterpret_cast<SetDefaultDirectories>(reinterpret_cast<void (*)()>(found));
  if (set_default != nullptr && set_default(LOAD_LIBRARY_SEARCH_SYSTEM32)) return;
  SetDllDirectoryW(L"");
}

std::string ExecutableFolder() {
  std::wstring buffer(MAX_PATH, L'\0');
  for (;;) {
    const DWORD size = static_cast<DWORD>(buffer.size());
    const DWORD length = GetModuleFileNameW(nullptr, buffer.data(), size);
    if (length == 0) windows::ThrowLastError();
    // A full buffer may have cut the name short.
    if (length < size) {
      buffer.resize(length);
      break;
    }
    buffer.resize(buffer.size() * 2);
  }
  const std::string path = windows::Narrow(windows::WithoutExtendedPrefix(buffer));
  // Wine runs programs from outside its drives under names like
  // "\\?\unix\home\...", which lead nowhere a Windows path can reach.
  win_path::DrivePath drive_path;
  if (!win_path::SplitDrivePath(path, drive_path) || drive_path.components.empty()) {
    throw PlatformError(kPathNotFound, "The program's folder " + win_path::ParentFolderName(path) +
                                           " is on no drive");
  }
  return win_path::ParentFolderName(path);
}

}  // namespace platform
