// Construction, roots and settings, and the level stack of the walker.

#include "dirtree/crt_dtree.h"

#include <string_view>
#include <utility>

#include "dirtree/list_from_collection.h"
#include "platform/error.h"

using platform::FolderRef;
using platform::PlatformError;

crtDTree::crtDTree() {
  ApplyDefaultSettings();
}

void crtDTree::SetRoot(const RootValue& pRoot, const int32_t& pSettings) {
  LastErrorNumber = -1;
  WalkState = kIdle;
  CurrentFolderChanged();
  LinkTargets.clear();
  if (pSettings == 0) {
    ApplyDefaultSettings();
  } else {
    DescendSubfolders = false;
  }
  Levels.clear();
  if (!RootsFromValue(pRoot)) {
    LastErrorNumber = -2;
    return;
  }
  if (!RootsUsable()) return;
  PushLevel(RootFolders);
  WalkState = kWalking;
  LastErrorNumber = 0;
}

void crtDTree::ApplyDefaultSettings() {
  DescendSubfolders = true;
}

FolderRef crtDTree::FolderFromPath(const std::string& pPath) {
  try {
    if (!RootFileSystem) RootFileSystem = platform::CreateFileSystemObject();
    return RootFileSystem->GetFolder(pPath);
  } catch (const PlatformError&) {
    return nullptr;
  }
}

FolderRef crtDTree::FolderFromDrive(const platform::DriveRef& pDrive) {
  try {
    return pDrive->RootFolder();
  } catch (const PlatformError&) {
    return nullptr;
  }
}

crtDTree::FolderList crtDTree::FoldersFromPaths(const std::vector<std::string>& pPaths) {
  FolderList folders(static_cast<size_t>(ListCount(pPaths)));
  for (size_t i = 0; i < folders.size(); ++i) folders[i] = FolderFromPath(pPaths[i]);
  return folders;
}

crtDTree::FolderList crtDTree::FoldersRootToList(platform::FolderCollection& pFolders) {
  return ListFromCollection(pFolders);
}

bool crtDTree::RootsUsable() const {
  if (ListCount(RootFolders) == 0) return false;
  for (const FolderRef& root : RootFolders) {
    if (!root) return false;
  }
  return true;
}

// Platform errors other than those the path and drive look-ups suppress pass
// to the caller; SetRoot has already left the walker idle with -1.
bool crtDTree::RootsFromValue(const RootValue& pRoot) {
  const std::string_view kind = pRoot.KindName();
  if (kind == "String") {
    RootFolders.assign(1, FolderFromPath(pRoot.AsString()));
  } else if (kind == "String()") {
    RootFolders = FoldersFromPaths(pRoot.AsStrings());
  } else if (kind == "Folder") {
    RootFolders.assign(1, pRoot.AsFolder());
  } else if (kind == "Folders") {
    RootFolders = FoldersRootToList(*pRoot.AsFolders());
  } else if (kind == "Drive") {
    RootFolders.assign(1, nullptr);
    RootFolders[0] = pRoot.AsDrive()->RootFolder();
  } else if (kind == "Collection") {
    return RootsFromCollection(pRoot.AsCollection());
  } else {
    return false;
  }
  return true;
}

bool crtDTree::RootsFromCollection(const std::vector<RootValue>& pElements) {
  RootFolders.clear();
  for (const RootValue& element : pElements) {
    const std::string_view kind = element.KindName();
    if (kind == "String") {
      RootFolders.push_back(FolderFromPath(element.AsString()));
    } else if (kind == "Folder") {
      RootFolders.push_back(element.AsFolder());
    } else if (kind == "Drive") {
      RootFolders.push_back(FolderFromDrive(element.AsDrive()));
    } else {
      return false;
    }
  }
  return true;
}

int32_t crtDTree::LevelCount() const {
  return ListCount(Levels);
}

void crtDTree::PushLevel(FolderList pSiblings) {
  Levels.push_back(TreeLevel{std::move(pSiblings), 0});
}

// Dropping the top level releases that subtree's subfolder list.
void crtDTree::PopLevel() {
  if (!Levels.empty()) Levels.pop_back();
}

int32_t crtDTree::CurrentPosition() const {
  if (Levels.empty()) throw PlatformError(platform::kSubscriptOutOfRange);
  return Levels.back().Position;
}

int32_t crtDTree::CurrentLevelSize() const {
  return Levels.empty() ? 0 : ListCount(Levels.back().Siblings);
}

const FolderRef& crtDTree::CurrentFolder() const {
  const int32_t position = CurrentPosition();
  if (position >= CurrentLevelSize()) throw PlatformError(platform::kSubscriptOutOfRange);
  return Levels.back().Siblings[static_cast<size_t>(position)];
}

bool crtDTree::AtLastFolder() const {
  return CurrentPosition() == CurrentLevelSize() - 1;
}

void crtDTree::AdvanceFolder() {
  if (!AtLastFolder()) ++Levels.back().Position;
}
