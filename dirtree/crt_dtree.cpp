// Construction, roots and settings, and the level stack of the walker.

#include "dirtree/crt_dtree.h"

#include <memory>
#include <string>
#include <utility>
#include <variant>
#include <vector>

#include "dirtree/list_from_collection.h"
#include "platform/error.h"

using platform::FolderRef;
using platform::PlatformError;

crtDTree::crtDTree() {
  ApplyDefaultSettings();
}

void crtDTree::SetRoot(const RootValue& pRoot, const int32_t& pSettings) {
  LastErrorNumber = kNoReadableFolder;
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
    LastErrorNumber = kRootKindRejected;
    return;
  }
  if (!RootsUsable()) return;
  PushLevel(RootFolders);
  WalkState = kWalking;
  LastErrorNumber = kSucceeded;
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

bool crtDTree::RootsUsable() const {
  if (RootFolders.empty()) return false;
  for (const FolderRef& root : RootFolders) {
    if (!root) return false;
  }
  return true;
}

namespace {

template <class... Kinds>
struct KindSwitch : Kinds... {
  using Kinds::operator()...;
};
template <class... Kinds>
KindSwitch(Kinds...) -> KindSwitch<Kinds...>;

}  // namespace

// Platform errors other than those the path and drive look-ups suppress pass
// to the caller; SetRoot has already left the walker idle.
bool crtDTree::RootsFromValue(const RootValue& pRoot) {
  using platform::DriveRef;
  using platform::FolderCollection;
  return std::visit(
      KindSwitch{
          [&](const std::string& path) {
            RootFolders.assign(1, FolderFromPath(path));
            return true;
          },
          [&](const std::vector<std::string>& paths) {
            RootFolders.clear();
            for (const std::string& path : paths) RootFolders.push_back(FolderFromPath(path));
            return true;
          },
          [&](const FolderRef& folder) {
            RootFolders.assign(1, folder);
            return true;
          },
          [&](const std::shared_ptr<FolderCollection>& folders) {
            RootFolders = ListFromCollection(*folders);
            return true;
          },
          [&](const DriveRef& drive) {
            RootFolders.assign(1, drive->RootFolder());
            return true;
          },
          [&](const std::vector<RootValue>& elements) { return RootsFromCollection(elements); },
          [](const auto&) { return false; },
      },
      pRoot.Held());
}

// A collection holds paths, folders and drives only; a drive whose root
// cannot be read is an unusable root here, not an error.
bool crtDTree::RootsFromCollection(const std::vector<RootValue>& pElements) {
  RootFolders.clear();
  for (const RootValue& element : pElements) {
    const bool accepted = std::visit(KindSwitch{
                                         [&](const std::string& path) {
                                           RootFolders.push_back(FolderFromPath(path));
                                           return true;
                                         },
                                         [&](const FolderRef& folder) {
                                           RootFolders.push_back(folder);
                                           return true;
                                         },
                                         [&](const platform::DriveRef& drive) {
                                           RootFolders.push_back(FolderFromDrive(drive));
                                           return true;
                                         },
                                         [](const auto&) { return false; },
                                     },
                                     element.Held());
    if (!accepted) return false;
  }
  return true;
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
  return Levels.empty() ? 0 : static_cast<int32_t>(Levels.back().Siblings.size());
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
