// frmMain's repair driver: the dialogue with the user, the choice of
// installations, and the copy into each one that has the package entry.

#include <cstdint>
#include <set>
#include <string>

#include "app/mod_main.h"
#include "platform/dir_entry.h"
#include "platform/error.h"
#include "platform/file_system.h"
#include "platform/message_box.h"
#include "platform/process.h"
#include "platform/program_end.h"
#include "ui/frm_main.h"

namespace {

using platform::Ending;

const std::string kBoxTitle = "Quarnel Lumbrel 1 Restore";
const std::string kDefaultExecutable = "C:\\Program Files\\Quarnel\\QUARN.exe";
// The folder the default-location question names: a text of its own, so the
// question reads the same however the executable's path is spelled.
const std::string kDefaultFolderShown = "C:\\Program Files\\Quarnel";
const std::string kExecutableName = "QUARN.exe";
const std::string kPackageEntry = "\\Packages\\QUARN";
const std::string kDeliveredDocuments = "\\Docs";
const std::string kDocumentFolder = "\\Packages\\My Documents";

const std::string kSupportEmail = "support@tessaly.example";
const std::string kSupportPhone = "1-800-555-0142";

const std::string kLineBreak = "\r\n";
const std::string kParagraph = kLineBreak + kLineBreak;

constexpr int32_t kStyleCritical = platform::kButtonsOk | platform::kIconCritical;
constexpr int32_t kStyleWarning = platform::kButtonsOk | platform::kIconExclamation;
constexpr int32_t kStyleInformation = platform::kButtonsOk | platform::kIconInformation;
constexpr int32_t kStyleOkCancel = platform::kButtonsOkCancel | platform::kIconInformation;
constexpr int32_t kStyleYesNo = platform::kButtonsYesNo | platform::kIconInformation;

// Folders besides ordinary files: the package entry may be either, but never
// a hidden or system entry.
constexpr int32_t kPackageEntryAttributes = platform::kAttrDirectory;

std::string SupportBlock() {
  return "Tessaly Technical Support" + kLineBreak + "Email: " + kSupportEmail + kLineBreak +
         "Phone: " + kSupportPhone + " (USA)";
}

// "X:\" becomes "X:", so that appending "\Docs" never doubles the backslash.
std::string WithoutTrailingBackslashes(std::string path) {
  while (!path.empty() && path.back() == '\\') path.pop_back();
  return path;
}

std::string ConsentText() {
  return "This installer will restore your missing Lumbrel page." + kParagraph +
         "Do you want to continue?";
}

std::string ReminderText() {
  return "Please make sure the Quarnel program is not currently running. If it is, close it now "
         "and then click the OK button below to continue." +
         kParagraph +
         "If you encounter an error before finishing this procedure, restart your computer and "
         "run this update again. If you still encounter an error, contact Tessaly technical "
         "support for assistance.";
}

std::string NoDrivesText(const std::string& support) {
  return "Windows is reporting that this computer has no hard drives." + kParagraph +
         "Please restart your computer and run this program again." + kParagraph +
         "If, after restarting your computer you still see this message, contact Tessaly for "
         "assistance." +
         kParagraph + support;
}

std::string DefaultLocationText() {
  return "The Quarnel program has been located on drive C in the following folder:" + kParagraph +
         kDefaultFolderShown + kParagraph +
         "We recommend that you click YES to continue normally and repair your Lumbrel page." +
         kParagraph +
         "You may optionally click NO if you want this updater to search your computer for "
         "additional installations of the Quarnel program." +
         " We recommend that you do this only if you've already run this updater and found that "
         "your Lumbrel page was not repaired.";
}

std::string SearchingText(const std::string& drive) {
  return "Welcome" + kParagraph + "Quarnel Update is now searching drive " + drive +
         " for all copies of the Quarnel program." + kParagraph + "Please wait...";
}

std::string NotInstalledText(const std::string& support) {
  return "Windows is reporting that Quarnel is not installed on this computer." + kParagraph +
         "If you're sure that Quarnel is installed on this computer, please restart your "
         "computer and run this updater again. If, after restarting your computer and running "
         "this updater a second time you still encounter this error, contact Tessaly technical "
         "support for assistance." +
         kParagraph + support;
}

// Says "running this program a second time" where the not-installed text says
// "this updater": not a slip to make uniform, since users and support staff
// know each message by its exact words.
std::string NoneRepairedText(const std::string& support) {
  return "This repair system has found no copies of Quarnel on your computer." + kParagraph +
         "If you're sure that Quarnel is installed on this computer, please restart your "
         "computer and run this updater again. If, after restarting your computer and running "
         "this program a second time you still encounter this error, contact Tessaly technical "
         "support for assistance." +
         kParagraph + support;
}

std::string SuccessStatusText(int32_t repaired) {
  return "Repair Successful... " + kParagraph +
         "The Quarnel Lumbrel document has been restored. (C-" + std::to_string(repaired) + ")";
}

std::string SuccessText() {
  return "The Quarnel Lumbrel repair utility has completed successfully." + kParagraph +
         "You do not need to restart your computer. Click 'OK' to close this repair utility.";
}

}  // namespace

void frmMain::Main() {
  last_ending_ = Ending::kError;
  const std::string support = SupportBlock();
  const std::string utility_folder = WithoutTrailingBackslashes(platform::ExecutableFolder());

  // Only Yes goes on: a box dismissed by Escape, Alt+F4 or its close box
  // answers Cancel, and that must never lead to a repair.
  if (Window().MessageBox(ConsentText(), kStyleYesNo, kBoxTitle) != platform::kAnswerYes) {
    last_ending_ = Ending::kConsentDeclined;
    return;
  }
  if (Window().MessageBox(ReminderText(), kStyleOkCancel, kBoxTitle) == platform::kAnswerCancel) {
    last_ending_ = Ending::kReminderCancelled;
    return;
  }

  Window().Show();
  ShowMessage("Analyzing your system, Please wait...");
  ShowMessage2("");

  const StringArray drives = GetFixedDrives();
  if (CountItems(drives) == 0) {
    Window().MessageBox(NoDrivesText(support), kStyleCritical, kBoxTitle);
    last_ending_ = Ending::kNoFixedDrive;
    return;
  }

  bool search = true;
  StringArray installations;
  if (modMain::IsFileExisting(kDefaultExecutable) &&
      Window().MessageBox(DefaultLocationText(), kStyleYesNo, kBoxTitle) == platform::kAnswerYes) {
    search = false;
    installations = {kDefaultExecutable};
  }

  if (search) {
    for (const std::string& drive : drives) {
      ShowMessage(SearchingText(drive));
      const StringArray found = FindFilesOnDrive(drive, kExecutableName);
      installations = CombineArrays(installations, found);
    }
  }

  if (CountItems(installations) == 0) {
    Window().MessageBox(NotInstalledText(support), kStyleWarning, kBoxTitle);
    last_ending_ = Ending::kNotInstalled;
    return;
  }

  // Checked while Cancel is still enabled: nothing has been written yet, and
  // the search's results are known, so a computer without the program is
  // told so whatever the delivery holds.
  // An empty Docs would report a repair that restored nothing; a copy of
  // anything but a regular file could block or never end. What this check
  // saw is what every installation gets.
  delivery_ = CheckDelivery(utility_folder + kDeliveredDocuments);
  if (delivery_.documents.empty()) {
    throw platform::PlatformError(platform::kFileNotFound).WithPath(delivery_.folder);
  }
  Window().SetCancelEnabled(false);

  int32_t repaired = 0;
  // An installation reached by a second path (through a folder link) is the
  // same installation: repaired and counted once.
  std::set<platform::EntryIdentity> repaired_folders;
  for (const std::string& executable : installations) {
    const std::string folder =
        WithoutTrailingBackslashes(FileSystem().GetParentFolderName(executable));
    if (platform::DirEntryName(folder + kPackageEntry, kPackageEntryAttributes).empty()) continue;
    if (!repaired_folders.insert(FileSystem().GetFolder(folder + "\\")->Identity()).second) {
      continue;
    }
    ShowMessage2("");
    ShowMessage("Copying New Documents..." + kParagraph + folder);
    CopyAllFiles(utility_folder + kDeliveredDocuments, folder + kDocumentFolder);
    ++repaired;
  }

  if (repaired == 0) {
    ShowMessage("Quarnel repair system found no copies of Quarnel on your computer.");
    ShowMessage2("");
    Window().MessageBox(NoneRepairedText(support), kStyleWarning, kBoxTitle);
    last_ending_ = Ending::kNoneRepaired;
    return;
  }

  ShowMessage2("");
  ShowMessage("Updating your system, please wait...");
  ShowMessage2("");
  ShowMessage(SuccessStatusText(repaired));
  Window().MessageBox(SuccessText(), kStyleInformation, kBoxTitle);
  last_ending_ = Ending::kSuccess;
}
