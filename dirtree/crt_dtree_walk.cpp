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
    LastErrorNumber = -3;
    return nullptr;
  }
  if (!CurrentFolderReadable()) {
    LastErrorNumber = -1;
    return nullptr;
  }
  LastErrorNumber = 0;
  return CurrentFolder();
}

void crtDTree::MoveNextFolder() {
  if (WalkState != kWalking) {
    LastErrorNumber = -3;
    return;
  }
  do {
    StepFolder();
  } while (!CurrentFolderReadable() && WalkState != kFinished);
  LastErrorNumber = 0;
}

FileRef crtDTree::GetFile() {
  if (WalkState != kWalking) {
    LastErrorNumber = -3;
    return nullptr;
  }
  if (FileCursor == -2) LoadFiles();
  if (FileCursor == -1 || !CurrentFileReadable()) {
    LastErrorNumber = -4;
    return nullptr;
  }
  LastErrorNumber = 0;
  return CurrentFiles[static_cast<size_t>(FileCursor)];
}

void crtDTree::MoveNextFile() {
  if (WalkState != kWalking) {
    LastErrorNumber = -3;
    return;
  }
  do {
    StepFile();
  } while (!CurrentFileReadable() && WalkState != kFinished);
  LastErrorNumber = 0;
}

crtDTree::FolderList crtDTree::FoldersToList(platform::FolderCollection& pSubFolders) {
  return ListFromCollection(pSubFolders);
}

crtDTree::FileList crtDTree::FilesToList(platform::FileCollection& pFiles) {
  return ListFromCollection(pFiles);
}

void crtDTree::CurrentFolderChanged() {
  FileCursor = -2;
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
    if (LevelCount() > 1) {
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
        PushLevel(FoldersToList(*subfolders));
        CurrentFolderChanged();
        return;
      }
    }
  } catch (const PlatformError&) {
    // Subfolders that cannot be listed count as none.
  }
  while (AtLastFolder()) {
    PopLevel();
    if (LevelCount() == 0) {
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
      CurrentFiles = FilesToList(*folder->Files());
      FileCursor = ListCount(CurrentFiles) > 0 ? 0 : -1;
      return;
    }
  } catch (const PlatformError&) {
    // Files that cannot be listed count as none.
  }
  CurrentFiles.clear();
  FileCursor = -1;
}

int32_t crtDTree::FileCount() const {
  return ListCount(CurrentFiles);
}

bool crtDTree::AtLastFile() const {
  return FileCursor == FileCount() - 1;
}

void crtDTree::AdvanceFile() {
  if (!AtLastFile()) ++FileCursor;
}

void crtDTree::StepFile() {
  while (WalkState == kWalking) {
    if (FileCursor == -1) {
      StepFolder();
    } else if (FileCursor == -2) {
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
  if (FileCursor < 0 || FileCursor >= FileCount()) return false;
  const FileRef& file = CurrentFiles[static_cast<size_t>(FileCursor)];
  return file && file->HasPath();
}
