#include "platform/windows/handles.h"

#include "platform/windows/long_path.h"
#include "platform/windows/win_error.h"

namespace platform::windows {

OwnedHandle OpenEntry(const std::string& path, DWORD access) {
  const HANDLE handle = CreateFileW(ExtendedPath(path).c_str(), access,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                    OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (handle == INVALID_HANDLE_VALUE) throw ErrorFromCode(GetLastError()).WithPath(path);
  return OwnedHandle(handle);
}

EntryIdentity IdentityOf(HANDLE handle) {
  BY_HANDLE_FILE_INFORMATION info{};
  if (!GetFileInformationByHandle(handle, &info)) ThrowLastError();
  return {info.dwVolumeSerialNumber,
          (uint64_t{info.nFileIndexHigh} << 32) | uint64_t{info.nFileIndexLow}};
}

}  // namespace platform::windows
