// The search for the host's executable: the fixed drives, a whole-drive walk
// that shows every file it examines and honours Cancel, and the two string
// array helpers the driver shares with it.

#include <string>
#include <utility>

#include "dirtree/crt_dtree.h"
#include "dirtree/root_value.h"
#include "platform/error.h"
#include "platform/file_system.h"
#include "platform/message_box.h"
#include "platform/program_end.h"
#include "platform/text.h"
#include "ui/frm_main.h"

namespace {

const char kCancelTitle[] = "Cancel Repair?";
const char kCancelText[] =
    "Your Quarnel Lumbrel page has not been repaired.\r\n\r\n"
    "Click Yes if you want to continue the repair.\r\n"
    "Click No if you want to cancel the repair.";
constexpr int32_t kCancelStyle = platform::kButtonsYesNo | platform::kIconInformation;

// The walk passes over every failure of its own steps: a file that vanished
// or a status line that could not be drawn must not end the search.
template <class Step>
void PassOver(Step&& step) {
  try {
    std::forward<Step>(step)();
  } catch (const platform::PlatformError&) {
    // Not reported, by design; the walk carries on with the next file.
  }
}

}  // namespace

StringArray frmMain::GetFixedDrives() {
  StringArray drives;
  const auto all = FileSystem().Drives()->Enumerate();
  for (platform::DriveRef drive; all->Next(drive);) {
    if (drive->Type() == platform::kDriveFixed) drives.push_back(drive->DriveLetter());
  }
  return drives;
}

StringArray frmMain::FindFilesOnDrive(const std::string& pDrive, const std::string& pFileName) {
  const std::string wanted = platform::UpperCase(pFileName);
  StringArray matches;

  platform::FolderRef root;
  try {
    root = FileSystem().GetFolder(pDrive + ":\\");
  } catch (const platform::PlatformError&) {
    return matches;  // a drive that is not ready has nothing to offer
  }

  crtDTree& tree = SearchTree();
  PassOver([&] { tree.SetRoot(RootValue::OfFolder(root), 0); });
  // A walk that never started never finishes either.
  if (tree.ErrorNumber() != crtDTree::kSucceeded) return matches;
  do {
    PassOver([&] { tree.MoveNextFile(); });
    platform::FileRef file;
    PassOver([&] { file = tree.GetFile(); });
    if (!file) continue;

    // One Path read serves both the status line and the match list.
    PassOver([&] {
      const std::string path = file->Path();
      PassOver([&] { ShowMessage2(path); });
      if (platform::EqualsUpperCase(file->Name(), wanted)) matches.push_back(path);
    });

    if (CancelRequested) {
      CancelRequested = false;
      if (Window().MessageBox(kCancelText, kCancelStyle, kCancelTitle) == platform::kAnswerNo) {
        Unload();
        throw platform::ProgramEnd{platform::Ending::kCancelConfirmed};
      }
    }
  } while (!tree.Finished());
  return matches;
}

int32_t frmMain::CountItems(const StringArray& pArray) {
  return static_cast<int32_t>(pArray.size());
}

StringArray frmMain::CombineArrays(const StringArray& pFirst, const StringArray& pSecond) {
  StringArray combined;
  combined.reserve(pFirst.size() + pSecond.size());
  combined.insert(combined.end(), pFirst.begin(), pFirst.end());
  combined.insert(combined.end(), pSecond.begin(), pSecond.end());
  return combined;
}
