#pragma once

// Win32 handles: the one owner the back-end holds them in, and the opening
// and reading it does through one.

#include <string>
#include <utility>

#include "platform/file_system.h"
#include "platform/windows/win32.h"

namespace platform::windows {

// Closes the handle when it goes, with the function the handle's kind needs
// (CloseHandle; FindClose for a search).
class OwnedHandle {
 public:
  using Closer = BOOL(WINAPI*)(HANDLE);

  // Holds nothing for INVALID_HANDLE_VALUE or null, what failed calls give.
  explicit OwnedHandle(HANDLE handle, Closer close = CloseHandle)
      : handle_(handle), close_(close) {}
  ~OwnedHandle() { Close(); }
  OwnedHandle(const OwnedHandle&) = delete;
  OwnedHandle& operator=(const OwnedHandle&) = delete;

  HANDLE get() const { return handle_; }
  bool valid() const { return handle_ != INVALID_HANDLE_VALUE && handle_ != nullptr; }
  // Hands the handle over; nothing is closed.
  HANDLE release() { return std::exchange(handle_, INVALID_HANDLE_VALUE); }

  // Closes the handle now. False when the system reports that the close
  // failed, as it may for data it could not write; GetLastError says why.
  bool Close() {
    if (!valid()) return true;
    return close_(std::exchange(handle_, INVALID_HANDLE_VALUE)) != FALSE;
  }

 private:
  HANDLE handle_;
  Closer close_;
};

// The file or folder `path` leads to, through links, opened for `access`
// without denying others anything; backup semantics let a folder open too.
// Raises the open's failure naming `path`.
OwnedHandle OpenEntry(const std::string& path, DWORD access);

// The identity of what `handle` has open (volume serial number, file ID).
EntryIdentity IdentityOf(HANDLE handle);

}  // namespace platform::windows
