#include "platform/windows/trusted_folder.h"

#include <vector>

#include "platform/error.h"
#include "platform/windows/long_path.h"
#include "platform/windows/win_error.h"

// After windows.h, which it needs.
#include <aclapi.h>

namespace platform::windows {
namespace {

bool IsTrustedOwner(PSID owner) {
  if (IsWellKnownSid(owner, WinBuiltinAdministratorsSid) ||
      IsWellKnownSid(owner, WinLocalSystemSid)) {
    return true;
  }
  SID_IDENTIFIER_AUTHORITY authority = SECURITY_NT_AUTHORITY;
  PSID installer = nullptr;  // NT SERVICE\TrustedInstaller
  if (AllocateAndInitializeSid(&authority, 6, 80, 956008885u, 3418522649u, 1831038044u, 1853292631u,
                               2271478464u, 0, 0, &installer)) {
    const bool same = EqualSid(owner, installer) != FALSE;
    FreeSid(installer);
    if (same) return true;
  }
  HANDLE opened = nullptr;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &opened)) return false;
  const OwnedHandle token(opened);
  DWORD size = 0;
  GetTokenInformation(token.get(), TokenUser, nullptr, 0, &size);
  std::vector<BYTE> user(size);
  return size != 0 && GetTokenInformation(token.get(), TokenUser, user.data(), size, &size) &&
         EqualSid(owner, reinterpret_cast<TOKEN_USER*>(user.data())->User.Sid);
}

// Whether the junction or link at `path` itself has a trusted owner.
bool IsTrustedLink(const std::wstring& path) {
  const OwnedHandle link(CreateFileW(
      path.c_str(), READ_CONTROL, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
      OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
  return link.valid() && HasTrustedOwner(link.get());
}

}  // namespace

bool HasTrustedOwner(HANDLE handle) {
  PSID owner = nullptr;
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  const bool trusted = GetSecurityInfo(handle, SE_FILE_OBJECT, OWNER_SECURITY_INFORMATION, &owner,
                                       nullptr, nullptr, nullptr, &descriptor) == ERROR_SUCCESS &&
                       owner != nullptr && IsTrustedOwner(owner);
  if (descriptor != nullptr) LocalFree(descriptor);
  return trusted;
}

void RefuseForeignLinks(const win_path::DrivePath& folder) {
  win_path::DrivePath walked = folder;
  walked.components.clear();
  for (const std::string& name : folder.components) {
    walked.components.push_back(name);
    const std::wstring path = ExtendedPath(walked);
    const DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
      throw ErrorFromCode(GetLastError()).WithPath(win_path::JoinDrivePath(walked));
    }
    if ((attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0 && !IsTrustedLink(path)) {
      throw PlatformError(kPermissionDenied).WithPath(win_path::JoinDrivePath(walked));
    }
  }
}

HeldFolder::HeldFolder(const win_path::DrivePath& folder)
    : path_(ExtendedPath(folder)),
      handle_(CreateFileW(path_.c_str(), FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE,
                          nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr)) {
  if (!handle_.valid()) {
    const DWORD error = GetLastError();
    throw ErrorFromCode(error == ERROR_FILE_NOT_FOUND ? ERROR_PATH_NOT_FOUND : error);
  }
  RefuseForeignLinks(folder);
  id_ = IdentityOf(handle_.get());
  Verify();
}

void HeldFolder::Verify() const {
  const OwnedHandle now(CreateFileW(path_.c_str(), FILE_READ_ATTRIBUTES,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                    OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
  if (!now.valid() || IdentityOf(now.get()) != id_) throw PlatformError(kPermissionDenied);
}

}  // namespace platform::windows
