#include "platform/process.h"

#include <string>

#include "platform/error.h"
#include "platform/test_hooks.h"
#include "platform/win_path.h"
#include "platform/windows/long_path.h"
#include "platform/windows/wide_string.h"
#include "platform/windows/win32.h"
#include "platform/windows/win_error.h"

namespace platform {

namespace {

// Junctions and links that a user without administrator rights made are not
// followed by this process, where the system offers that (Windows 10 2004
// and later); elsewhere the copy's own owner check stands alone.
void TrustOnlyAdministratorsRedirections(HMODULE kernel) {
  using SetMitigationPolicy = BOOL(WINAPI*)(PROCESS_MITIGATION_POLICY, PVOID, SIZE_T);
  FARPROC found =
      kernel != nullptr ? GetProcAddress(kernel, "SetProcessMitigationPolicy") : nullptr;
  auto set_policy = reinterpret_cast<SetMitigationPolicy>(reinterpret_cast<void (*)()>(found));
  if (set_policy == nullptr) return;
  PROCESS_MITIGATION_REDIRECTION_TRUST_POLICY policy{};
  policy.EnforceRedirectionTrust = 1;
  set_policy(ProcessRedirectionTrustPolicy, &policy, sizeof policy);
}

}  // namespace

void HardenProcess() {
  // Looked up rather than imported, so that a system without it still starts.
  using SetDefaultDirectories = decltype(&SetDefaultDllDirectories);
  HMODULE kernel = GetModuleHandleW(L"kernel32.dll");
  TrustOnlyAdministratorsRedirections(kernel);
  FARPROC found = kernel != nullptr ? GetProcAddress(kernel, "SetDefaultDllDirectories") : nullptr;
  // Through the generic function type, which converts to any other without
  // the compiler objecting.
  auto set_default = reinterpret_cast<SetDefaultDirectories>(reinterpret_cast<void (*)()>(found));
  if (set_default != nullptr && set_default(LOAD_LIBRARY_SEARCH_SYSTEM32)) return;
  SetDllDirectoryW(L"");
}

std::string ExecutableFolder() {
  if (std::string stand_in = ExecutableFolderStandIn(); !stand_in.empty()) return stand_in;
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
    const std::string folder = win_path::ParentFolderName(path);
    throw PlatformError(kPathNotFound, "The program's folder " + folder + " is on no drive")
        .WithPath(folder);
  }
  return win_path::ParentFolderName(path);
}

}  // namespace platform
