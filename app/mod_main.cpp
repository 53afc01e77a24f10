#include "app/mod_main.h"

#include <cstdint>
#include <exception>
#include <memory>
#include <new>

#include "platform/dir_entry.h"
#include "platform/error.h"
#include "platform/file_system.h"
#include "platform/front_end.h"
#include "platform/program_end.h"
#include "ui/frm_main.h"

namespace modMain {
namespace {

// Read-only, hidden, system and archive, without the folder bit.
constexpr int32_t kAnyFileAttributes = platform::kAttrReadOnly | platform::kAttrHidden |
                                       platform::kAttrSystem | platform::kAttrArchive;

// The numbers of the failures no platform call reports, in the series of
// platform::ErrorCode.
constexpr int32_t kOutOfMemory = 7;
constexpr int32_t kInternalError = 51;

frmMain& ProgramWindow() {
  static std::unique_ptr<frmMain> window;
  if (!window) window = std::make_unique<frmMain>(platform::CreateFrontEnd());
  return *window;
}

}  // namespace

bool IsFileExisting(const std::string& pPath) {
  return !platform::DirEntryName(pPath, kAnyFileAttributes).empty();
}

int Main(frmMain* window) {
  frmMain& program = window != nullptr ? *window : ProgramWindow();
  platform::Ending ending = platform::Ending::kError;
  platform::FrontEnd& front_end = program.Window();
  try {
    program.Main();
    program.Unload();
    ending = program.LastEnding();
  } catch (const platform::ProgramEnd& end) {
    ending = end.ending;
  } catch (const platform::PlatformError& error) {
    front_end.ReportUnhandledError(error.Number(), error.Text(), error.Path());
  } catch (const std::bad_alloc&) {
    front_end.ReportUnhandledError(kOutOfMemory, "Out of memory", "");
  } catch (const std::exception& error) {
    front_end.ReportUnhandledError(kInternalError, std::string("Internal error: ") + error.what(),
                                   "");
  }
  front_end.ReportEnding(ending);
  program.Unload();
  return platform::ExitStatus(ending);
}

}  // namespace modMain
