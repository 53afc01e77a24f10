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

// A link below the roots may lead to an ancestor, so the walk never enters
// one; a folder whose attributes cannot be read (the call raises) is treated
// the same way by the callers. Roots are entered whatever they are: the caller
// chose them. Asked only once a listing has found something to enter; a
// listed folder answers from its listing, without reading the disk.
bool crtDTree::CurrentFolderIsLink() const {
  return LevelCount() > 1 && CurrentFolder()->IsAlias();
}

void crtDTree::StepFolder() {
  try {
    const FolderRef& folder = CurrentFolder();
    if (DescendSubfolders && folder) {
      const std::shared_ptr<platform::FolderCollection> subfolders = folder->SubFolders();
      if (subfolders->Count() > 0 && !CurrentFolderIsLink()) {
        PushLevel(FoldersToList(*subfolders));
        FileCursor = -2;
        return;
      }
    }
  } catch (const PlatformError&) {
    // Subfolders that cannot be listed count as none.
  }
  while (AtLastFolder()) {
    PopLevel();
    if (LevelCount() == 0) {
      FileCursor = -2;
      WalkState = kFinished;
      return;
    }
  }
  AdvanceFolder();
  FileCursor = -2;
}

bool crtDTree::CurrentFolderReadable() const {
  if (Levels.empty()) return false;
  const FolderRef& folder = CurrentFolder();
  return folder && folder->HasPath();
}

void crtDTree::LoadFiles() {
  try {
    if (const FolderRef& folder = CurrentFolder()) {
      CurrentFiles = FilesToList(*folder->Files());
      if (ListCount(CurrentFiles) > 0 && CurrentFolderIsLink()) CurrentFiles.clear();
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
