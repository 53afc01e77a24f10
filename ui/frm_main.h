#pragma once

// The one window object: the status window and, as its further operations,
// the repair itself. Where each operation lives:
//   ui/frm_main.cpp                ShowMessage, ShowMessage2, cmdCancel_Click,
//                                  Unload, FileSystem, SearchTree
//   repair/repair_driver.cpp       Main
//   repair/installation_search.cpp GetFixedDrives, FindFilesOnDrive,
//                                  CountItems, CombineArrays
//   repair/document_copy.cpp       CopyAllFiles, DeleteAllFiles, CheckDelivery
// The library that holds them is defined whole in ui/CMakeLists.txt.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/file_system.h"
#include "platform/front_end.h"
#include "platform/program_end.h"

class crtDTree;

// The string arrays the repair passes between its steps: one-dimensional,
// zero-based, growable; a new array is empty.
using StringArray = std::vector<std::string>;

class frmMain {
 public:
  // Created hidden: CancelRequested false, Cancel enabled, both status lines
  // empty. The window talks to the user through `front_end`.
  explicit frmMain(std::unique_ptr<platform::FrontEnd> front_end);
  ~frmMain();
  frmMain(const frmMain&) = delete;
  frmMain& operator=(const frmMain&) = delete;

  // The repair driver. Returns on every ending but a confirmed cancel, which
  // ends the program by throwing platform::ProgramEnd. Errors of its steps
  // pass out as platform::PlatformError.
  void Main();
  void CopyAllFiles(const std::string& pSrcFolder, const std::string& pDestFolder);
  void DeleteAllFiles(const std::string& pSrcFolder, const std::string& pDestFolder);

  // Closes the window; nothing of it stays on screen.
  void Unload();
  // How the last call of Main() ended (kError until it returns normally).
  platform::Ending LastEnding() const { return last_ending_; }
  platform::FrontEnd& Window() { return *front_end_; }

 private:
  friend struct frmMainTestPeer;

  void ShowMessage(const std::string& text);
  void ShowMessage2(const std::string& text);
  void cmdCancel_Click();

  StringArray GetFixedDrives();
  StringArray FindFilesOnDrive(const std::string& pDrive, const std::string& pFileName);
  int32_t CountItems(const StringArray& pArray);
  StringArray CombineArrays(const StringArray& pFirst, const StringArray& pSecond);

  // One delivered document as a check found it: its name and the file it was.
  struct CheckedDocument {
    std::string name;
    platform::EntryIdentity identity;
  };
  // The documents directly in a folder (its stored path), checked.
  struct CheckedDelivery {
    std::string folder;
    std::vector<CheckedDocument> documents;
  };
  // Checks the documents directly in `pFolder` as a copy takes them: each a
  // regular file (75), its name one Windows can hold (52) and not another's
  // in other letter case (58), every link on the way trusted (70).
  CheckedDelivery CheckDelivery(const std::string& pFolder);

  // Members created on first use.
  platform::FileSystemObject& FileSystem();
  crtDTree& SearchTree();

  bool CancelRequested = false;

  std::unique_ptr<platform::FrontEnd> front_end_;
  platform::FileSystemObjectRef file_system_;
  std::unique_ptr<crtDTree> search_tree_;
  platform::Ending last_ending_ = platform::Ending::kError;
  // The delivery the run checked before its first copy: the documents a copy
  // from that folder takes, and no others.
  CheckedDelivery delivery_;
};
