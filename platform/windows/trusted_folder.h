#pragma once

// The folders a copy reads from and writes into. The program runs with
// administrator rights in folders anyone may have prepared, so a junction or
// link on the way to one is followed only when an administrator, the system,
// the installer service or the user running the program made it; and the
// folder is held open while it is used, so that it cannot be swapped.

#include <string>

#include "platform/file_system.h"
#include "platform/win_path.h"
#include "platform/windows/handles.h"
#include "platform/windows/win32.h"

namespace platform::windows {

// Whether what `handle` has open (with READ_CONTROL) is owned by one of the
// trusted: Administrators, SYSTEM, TrustedInstaller or the user running the
// program. False when its owner cannot be read.
bool HasTrustedOwner(HANDLE handle);

// Raises 70 naming the first junction or link on the way from the drive's
// root to `folder` (the folder itself included) whose owner is not trusted,
// or the failure to read an entry on the way, naming it.
void RefuseForeignLinks(const win_path::DrivePath& folder);

// The folder held open for as long as the object lives, without sharing
// deletion, so that neither it nor a folder above it can be renamed, removed
// or replaced by a link meanwhile; its links are checked once it is held.
// Raises 76 when it is missing, 70 for a foreign link on its way.
class HeldFolder {
 public:
  explicit HeldFolder(const win_path::DrivePath& folder);
  const std::wstring& path() const { return path_; }

  // Raises 70 unless the folder's path still leads to the folder held.
  void Verify() const;

 private:
  std::wstring path_;
  OwnedHandle handle_;
  EntryIdentity id_;
};

}  // namespace platform::windows
