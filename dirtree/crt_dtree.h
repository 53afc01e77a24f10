#pragma once

// A cursor over the folders and files below one or more roots, one step per
// call, so the caller can do other work (repaint, poll a Cancel flag) between
// steps. Folders come in pre-order in the order the platform lists them; the
// files of each folder follow that order. Nothing is sorted.
//
// Everything held is a snapshot: the subfolder lists of the folders on the
// current path and the current folder's file list. Entries whose Path can no
// longer be read are stepped over.
//
// A link below a root (alias attribute) is entered like any folder unless it
// leads to a folder on the current path (so a cycle ends) or to one a link
// already led to in this walk (so a farm of links to one folder costs it
// once). A link whose target cannot be identified is passed over as an
// unreadable folder: returned, never entered. So is a folder that leads off
// the computer's disks (Folder::LeadsOffDisk): the kernel's own file systems
// (/proc, /sys, /dev below a drive that maps to /) and network ones.

#include <cstdint>
#include <memory>
#include <set>
#include <vector>

#include "dirtree/root_value.h"
#include "platform/file_system.h"

class crtDTree {
 public:
  // The result codes ErrorNumber() reads; callers and scripts rely on the
  // numbers.
  static constexpr int32_t kSucceeded = 0;
  static constexpr int32_t kNoReadableFolder = -1;  // no usable root, or current folder unreadable
  static constexpr int32_t kRootKindRejected = -2;
  static constexpr int32_t kNotWalking = -3;
  static constexpr int32_t kNoReadableFile = -4;

  // Idle, descending into subfolders, kSucceeded.
  crtDTree();

  // Starts a new walk at pRoot; pSettings 0 walks the whole tree below the
  // roots, any other value only the roots themselves. Sets kSucceeded (the
  // walk started), kNoReadableFolder or kRootKindRejected. Throws
  // platform::PlatformError only when pRoot is a drive whose root folder
  // cannot be read or a root collection cannot be listed; the walker is then
  // idle with kNoReadableFolder.
  void SetRoot(const RootValue& pRoot, const int32_t& pSettings);
  int32_t ErrorNumber() const { return LastErrorNumber; }
  // The current folder, or none (kNotWalking, kNoReadableFolder).
  platform::FolderRef GetFolder();
  // Leaves the current folder for the next readable one in pre-order, or
  // ends the walk. kNotWalking when no walk is in progress.
  void MoveNextFolder();
  // The current file, or none (kNotWalking, kNoReadableFile: none here or
  // unreadable). May list the current folder's files, as the next
  // MoveNextFile would.
  platform::FileRef GetFile();
  // True exactly when the last walk has passed its end.
  bool Finished() const { return WalkState == kFinished; }
  // Moves to the next readable file, crossing into later folders, or ends
  // the walk. The first call after SetRoot stops on the first file.
  // kNotWalking when no walk is in progress.
  void MoveNextFile();

 private:
  using FolderList = std::vector<platform::FolderRef>;
  using FileList = std::vector<platform::FileRef>;

  struct TreeLevel {
    FolderList Siblings;
    int32_t Position = 0;
  };

  static constexpr int32_t kIdle = 0;
  static constexpr int32_t kFinished = 1;
  static constexpr int32_t kWalking = 2;

  // FileCursor before the current folder's files are listed, and when it
  // has none.
  static constexpr int32_t kFilesUnlisted = -2;
  static constexpr int32_t kNoFiles = -1;

  static constexpr int32_t kEntryUndecided = 0;
  static constexpr int32_t kEntryAllowed = 1;
  static constexpr int32_t kEntryRefused = 2;

  // Roots and settings.
  void ApplyDefaultSettings();
  platform::FolderRef FolderFromPath(const std::string& pPath);
  static platform::FolderRef FolderFromDrive(const platform::DriveRef& pDrive);
  bool RootsUsable() const;
  // Resolves pRoot into RootFolders; false when its kind is rejected.
  bool RootsFromValue(const RootValue& pRoot);
  bool RootsFromCollection(const std::vector<RootValue>& pElements);

  // The level stack.
  void PushLevel(FolderList pSiblings);
  void PopLevel();
  int32_t CurrentPosition() const;
  int32_t CurrentLevelSize() const;
  const platform::FolderRef& CurrentFolder() const;
  bool AtLastFolder() const;
  void AdvanceFolder();

  // Traversal.
  // Whether the current folder may be entered; decided once per folder,
  // since deciding on a link records its target.
  bool MayEnterCurrentFolder();
  bool MayEnterLink(const platform::FolderRef& pLink);
  bool OnCurrentPath(const platform::EntryIdentity& pIdentity) const;
  void CurrentFolderChanged();
  void StepFolder();
  bool CurrentFolderReadable() const;
  void LoadFiles();
  bool AtLastFile() const;
  void AdvanceFile();
  void StepFile();
  bool CurrentFileReadable() const;

  platform::FileSystemObjectRef RootFileSystem;
  int32_t WalkState = kIdle;
  FolderList RootFolders;
  std::vector<TreeLevel> Levels;
  FileList CurrentFiles;
  int32_t FileCursor = kFilesUnlisted;
  int32_t CurrentEntry = kEntryUndecided;
  // Targets of the links entered in this walk.
  std::set<platform::EntryIdentity> LinkTargets;
  int32_t LastErrorNumber = kSucceeded;
  bool DescendSubfolders = true;
};
