// The folder and file cursors of the walker. Every platform error on these
// paths is caught here: a listing that fails counts as empty, an entry whose
// Path cannot be read is stepped over, and the walk always reaches its end.

#include <utility>

#include "dirtree/crt_dtree.h"
#include "dirtree/list_from_collection.h"
#include "platform/error.h"

using platform::FileRef;
using platform::FolderRef;
using platform::PlatformError;

FolderRef crtDTree::GetFolder() {
  if (WalkState != kWalking) {
    LastErrorNumber = kNotWalking;
    return nullptr;
  }
  if (!CurrentFolderReadable()) {
    LastErrorNumber = kNoReadableFolder;
    return nullptr;
  }
  LastErrorNumber = kSucceeded;
  return CurrentFolder();
}

void crtDTree::MoveNextFolder() {
  if (WalkState != kWalking) {
    LastErrorNumber = kNotWalking;
    return;
  }
  do {
    StepFolder();
  } while (!CurrentFolderReadable() && WalkState != kFinished);
  LastErrorNumber = kSucceeded;
}

FileRef crtDTree::GetFile() {
  if (WalkState != kWalking) {
    LastErrorNumber = kNotWalking;
    return nullptr;
  }
  if (FileCursor == kFilesUnlisted) LoadFiles();
  if (FileCursor == kNoFiles || !CurrentFileReadable()) {
    LastErrorNumber = kNoReadableFile;
    return nullptr;
  }
  LastErrorNumber = kSucceeded;
  return CurrentFiles[static_cast<size_t>(FileCursor)];
}

void crtDTree::MoveNextFile() {
  if (WalkState != kWalking) {
    LastErrorNumber = kNotWalking;
    return;
  }
  do {
    StepFile();
  } while (!CurrentFileReadable() && WalkState != kFinished);
  LastErrorNumber = kSucceeded;
}

void crtDTree::CurrentFolderChanged() {
  FileCursor = kFilesUnlisted;
  CurrentEntry = kEntryUndecided;
}

// Roots are entered whatever they are: the caller chose them. A folder whose
// attributes cannot be read (the call raises) is not entered, nor one that
// leads off the computer's disks. Asked before either listing, so that a
// folder not to be entered is never listed; a listed folder knows whether it
// is a link without reading the disk.
bool crtDTree::MayEnterCurrentFolder() {
  if (CurrentEntry == kEntryUndecided) {
    bool allowed = true;
    if (Levels.size() > 1) {
      try {
        const FolderRef& folder = CurrentFolder();
        allowed = folder && (!folder->IsAlias() || MayEnterLink(folder)) && !folder->LeadsOffDisk();
      } catch (const PlatformError&) {
        allowed = false;
      }
    }
    CurrentEntry = allowed ? kEntryAllowed : kEntryRefused;
  }
  return CurrentEntry == kEntryAllowed;
}

// Raises when the link's target cannot be identified. The ancestors'
// identities are read only here, so a tree without links costs nothing more.
bool crtDTree::MayEnterLink(const FolderRef& pLink) {
  const platform::EntryIdentity target = pLink->Identity();
  return !OnCurrentPath(target) && LinkTargets.insert(target).second;
}

// The folders above the current one, up to its root. One that cannot be
// identified matches nothing: a walk still ends, as each target is entered
// once at most.
bool crtDTree::OnCurrentPath(const platform::EntryIdentity& pIdentity) const {
  for (size_t level = 0; level + 1 < Levels.size(); ++level) {
    const TreeLevel& above = Levels[level];
    const FolderRef& folder = above.Siblings[static_cast<size_t>(above.Position)];
    try {
      if (folder && folder->Identity() == pIdentity) return true;
    } catch (const PlatformError&) {
      // Not comparable; see above.
    }
  }
  return false;
}

void crtDTree::StepFolder() {
  try {
    const FolderRef& folder = CurrentFolder();
    if (DescendSubfolders && folder && MayEnterCurrentFolder()) {
      const std::shared_ptr<platform::FolderCollection> subfolders = folder->SubFolders();
      if (subfolders->Count() > 0) {
        PushLevel(ListFromCollection(*subfolders));
        CurrentFolderChanged();
        return;
      }
    }
  } catch (const PlatformError&) {
    // Subfolders that cannot be listed count as none.
  }
  while (AtLastFolder()) {
    PopLevel();
    if (Levels.empty()) {
      CurrentFolderChanged();
      WalkState = kFinished;
      return;
    }
  }
  AdvanceFolder();
  CurrentFolderChanged();
}

bool crtDTree::CurrentFolderReadable() const {
  if (Levels.empty()) return false;
  const FolderRef& folder = CurrentFolder();
  return folder && folder->HasPath();
}

void crtDTree::LoadFiles() {
  try {
    const FolderRef& folder = CurrentFolder();
    if (folder && MayEnterCurrentFolder()) {
      CurrentFiles = ListFromCollection(*folder->Files());
      FileCursor = CurrentFiles.empty() ? kNoFiles : 0;
      return;
    }
  } catch (const PlatformError&) {
    // Files that cannot be listed count as none.
  }
  CurrentFiles.clear();
  FileCursor = kNoFiles;
}

bool crtDTree::AtLastFile() const {
  return FileCursor == static_cast<int32_t>(CurrentFiles.size()) - 1;
}

void crtDTree::AdvanceFile() {
  if (!AtLastFile()) ++FileCursor;
}

void crtDTree::StepFile() {
  while (WalkState == kWalking) {
    if (FileCursor == kNoFiles) {
      StepFolder();
    } else if (FileCursor == kFilesUnlisted) {
      LoadFiles();
      if (FileCursor == 0) return;
    } else if (AtLastFile()) {
      StepFolder();
    } else {
      AdvanceFile();
      return;
    }
  }
}

bool crtDTree::CurrentFileReadable() const {
  if (FileCursor < 0 || FileCursor >= static_cast<int32_t>(CurrentFiles.size())) return false;
  const FileRef& file = CurrentFiles[static_cast<size_t>(FileCursor)];
  return file && file->HasPath();
}
