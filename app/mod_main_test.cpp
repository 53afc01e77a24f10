// The start-up run's last word for failures a real disk cannot produce. Each
// ending of a real run is decided by the program's transcripts (tests/golden).

#include "app/mod_main.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <new>
#include <stdexcept>
#include <string>
#include <utility>

#include "platform/message_box.h"
#include "platform/program_end.h"
#include "platform/test_hooks.h"
#include "tests/support/frm_main_test_peer.h"
#include "tests/support/scripted_front_end.h"
#include "ui/frm_main.h"

namespace {

// A file-system object whose first use fails the way the test chooses.
class FailingFileSystem : public platform::FileSystemObject {
 public:
  explicit FailingFileSystem(std::function<void()> fail) : fail_(std::move(fail)) {}
  std::shared_ptr<platform::DriveCollection> Drives() override {
    fail_();
    return nullptr;
  }
  platform::FolderRef GetFolder(const std::string&) override { return nullptr; }
  void CopyFile(const std::string&, const std::string&, bool,
                const std::optional<platform::EntryIdentity>&) override {}
  void DeleteFile(const std::string&, bool) override {}

 private:
  std::function<void()> fail_;
};

TEST(MainTest, FailuresBeyondThePlatformsAreReportedInPlainWordsAndProgramEndsKeepTheirOwn) {
  const struct {
    std::function<void()> fail;
    int status;
    const char* report;  // "" for none
    platform::Ending ending;
  } cases[] = {
      {[] { throw std::bad_alloc(); }, 3, "error 7 Out of memory", platform::Ending::kError},
      {[] { throw std::logic_error("broken list"); }, 3, "error 51 Internal error: broken list",
       platform::Ending::kError},
      {[] { throw platform::ProgramEnd{platform::Ending::kInputClosed}; }, 1, "",
       platform::Ending::kInputClosed},
  };
  for (const auto& c : cases) {
    frmMain window(std::make_unique<lumbrel_test::ScriptedFrontEnd>());
    auto& ui = static_cast<lumbrel_test::ScriptedFrontEnd&>(window.Window());
    frmMainTestPeer::SetFileSystem(window, std::make_shared<FailingFileSystem>(c.fail));
    platform::StandInExecutableFolder("T:\\");
    ui.QueueAnswer(platform::kAnswerYes);
    ui.QueueAnswer(platform::kAnswerOk);
    EXPECT_EQ(modMain::Main(&window), c.status);
    platform::StandInExecutableFolder("");
    const std::string report = c.report;
    EXPECT_EQ(ui.Count("error"), report.empty() ? 0u : 1u);
    if (!report.empty()) {
      EXPECT_EQ(ui.Count(report), 1u);
    }
    EXPECT_EQ(ui.Count("end " + std::string(platform::EndingName(c.ending))), 1u);
    EXPECT_EQ(ui.Count("unload"), 1u);
  }
}

}  // namespace
