#pragma once

// Tests reach frmMain's private operations and members through this one peer,
// so every test program shares a single definition of it.

#include <string>
#include <vector>

#include "ui/frm_main.h"

struct frmMainTestPeer {
  static void ShowMessage(frmMain& form, const std::string& text) { form.ShowMessage(text); }
  static void ShowMessage2(frmMain& form, const std::string& text) { form.ShowMessage2(text); }
  static bool& CancelRequested(frmMain& form) { return form.CancelRequested; }

  static StringArray FindFilesOnDrive(frmMain& form, const std::string& pDrive,
                                      const std::string& pFileName) {
    return form.FindFilesOnDrive(pDrive, pFileName);
  }
  static int32_t CountItems(frmMain& form, const StringArray& pArray) {
    return form.CountItems(pArray);
  }

  // Checks a delivery as Main() does, so the copies that follow take it.
  static std::vector<std::string> CheckDelivery(frmMain& form, const std::string& pFolder) {
    form.delivery_ = form.CheckDelivery(pFolder);
    std::vector<std::string> names;
    for (const auto& document : form.delivery_.documents) names.push_back(document.name);
    return names;
  }

  // Puts a substitute file-system object in place before first use, so tests
  // can stage faults a real disk cannot.
  static void SetFileSystem(frmMain& form, platform::FileSystemObjectRef fso) {
    form.file_system_ = std::move(fso);
  }
};
