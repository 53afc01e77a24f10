// A destination disk that fills up during the copy, made for real: a small
// memory-backed file system mounted over the destination folder in a mount
// namespace of the child's own, so nothing outside the test ever sees it.

#include <gtest/gtest.h>
#include <sched.h>
#include <sys/mount.h>

#include <memory>
#include <string>

#include "tests/hostile/unix/child_process.h"
#include "tests/hostile/unix/private_computer.h"
#include "tests/support/scripted_front_end.h"
#include "ui/frm_main.h"

namespace {

TEST(DiskFull, TheCopyFailsWith61AndTheOldDocumentStaysWhole) {
  hostile::PrivateComputer computer;
  computer.MakeFolder("Docs");
  computer.MakeFolder("Inst");
  computer.MakeFile("Docs/A small.qdoc", "small new");
  computer.MakeFile("Docs/Lumbrel.qdoc", std::string(1 << 20, 'N'));
  const std::string old_content(100 << 10, 'O');
  const std::string destination = computer.Host("Inst");

  const std::string result = hostile::InChild([&] {
    if (unshare(CLONE_NEWNS) != 0 ||
        mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
        mount("tmpfs", destination.c_str(), "tmpfs", 0, "size=256k") != 0) {
      return std::string("<no private mount>");
    }
    computer.MakeFile("Inst/Lumbrel.qdoc", old_content);
    computer.MakeFile("Inst/A small.qdoc", "small old");
    frmMain form(std::make_unique<lumbrel_test::ScriptedFrontEnd>());
    const std::string raised = hostile::Raised([&] { form.CopyAllFiles("H:\\Docs", "H:\\Inst"); });
    return raised + "|" + computer.ReadFile("Inst/A small.qdoc") + "|" +
           (computer.ReadFile("Inst/Lumbrel.qdoc") == old_content ? "old kept" : "old lost") + "|" +
           computer.Names("Inst");
  });
  if (result == "<no private mount>") GTEST_SKIP() << "this system allows no private mount";
  EXPECT_EQ(result, "61 Disk full|small new|old kept|A small.qdoc;Lumbrel.qdoc;");
}

}  // namespace
