// Names a Linux folder can hold and Windows never could: line breaks, tabs,
// terminal escapes, bytes that are not UTF-8, a backslash. The search walks
// past all of them and its transcript stays valid JSON; names that a Windows
// path can express are found, shown and read back byte for byte, with each
// stray byte shown as U+FFFD; a name holding a backslash cannot be expressed
// and is passed over as unreadable.

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "fuzz/strict_json.h"
#include "platform/unix/json_front_end.h"
#include "tests/hostile/unix/private_computer.h"
#include "ui/frm_main.h"
#include "ui/frm_main_test_peer.h"

namespace {

using hostile::PrivateComputer;
using Paths = std::vector<std::string>;

// A window whose JSON transcript is kept in memory; answers come from an
// empty input.
class Transcribed {
 public:
  Transcribed() {
    in_ = std::fopen("/dev/null", "r");
    out_ = open_memstream(&data_, &size_);
    err_ = std::fopen("/dev/null", "w");
    form_ =
        std::make_unique<frmMain>(std::make_unique<platform::posix::JsonFrontEnd>(in_, out_, err_));
  }
  ~Transcribed() {
    form_.reset();
    std::fclose(in_);
    std::fclose(out_);
    std::fclose(err_);
    std::free(data_);
  }

  frmMain& Form() { return *form_; }

  // Ends the window and gives the second status line's texts, in order,
  // after checking that every line is exactly one strict JSON object.
  Paths DetailLines() {
    form_.reset();
    std::fflush(out_);
    Paths texts;
    std::string transcript(data_, size_);
    size_t start = 0;
    while (start < transcript.size()) {
      const size_t end = transcript.find('\n', start);
      EXPECT_NE(end, std::string::npos) << "unterminated line";
      const std::string line = transcript.substr(start, end - start);
      start = end + 1;
      strict_json::Reader reader(line);
      EXPECT_TRUE(reader.Document()) << line;
      const Paths& strings = reader.Strings();
      if (line.rfind("{\"event\":\"status\",\"line\":2,", 0) == 0) texts.push_back(strings.back());
    }
    return texts;
  }

 private:
  std::FILE* in_;
  std::FILE* out_;
  std::FILE* err_;
  char* data_ = nullptr;
  size_t size_ = 0;
  std::unique_ptr<frmMain> form_;
};

TEST(HostileNames, TheSearchWalksPastEveryNameAndItsTranscriptStaysValidJson) {
  PrivateComputer computer;
  const Paths odd_files = {"bad\xff\xfe.txt",           "bell\x07.txt",  "del\x7f.txt",
                           "esc\x1b]0;owned\x07.txt",   "new\nline.txt", "quote\"back.txt",
                           "surrogate\xed\xa0\x80.txt", "tab\there.txt"};
  computer.MakeFolder("odd");
  for (const std::string& name : odd_files) computer.MakeFile("odd/" + name, "x");
  computer.MakeFile("odd/back\\slash.txt", "x");
  computer.MakeFolder("bad\xc0");
  computer.MakeFile("bad\xc0/quarn.EXE", "host");
  computer.MakeFolder("odd\nfolder\x1b");
  computer.MakeFile("odd\nfolder\x1b/QUARN.exe", "host");
  computer.MakeFolder("back\\slash");
  computer.MakeFile("back\\slash/QUARN.exe", "host");

  Transcribed window;
  const Paths found = frmMainTestPeer::FindFilesOnDrive(window.Form(), "H", "QUARN.exe");
  EXPECT_EQ(found, (Paths{"H:\\bad\xc0\\quarn.EXE", "H:\\odd\nfolder\x1b\\QUARN.exe"}));

  // Listing order: "bad\xc0" (a stray byte sorts after every letter, so
  // after "back..."), "odd", "odd\n...".
  Paths expected = {"H:\\bad\xc0\\quarn.EXE"};
  for (const std::string& name : odd_files) expected.push_back("H:\\odd\\" + name);
  expected.push_back("H:\\odd\nfolder\x1b\\QUARN.exe");
  for (std::string& path : expected) path = strict_json::WithReplacements(path);
  EXPECT_EQ(window.DetailLines(), expected);
}

TEST(HostileNames, DocumentsWithOddNamesAreCopiedUnderTheirExactBytes) {
  PrivateComputer computer;
  computer.MakeFolder("Docs");
  computer.MakeFolder("Inst/My Documents");
  computer.MakeFile("Docs/\xc3\x80.qdoc", "new A-grave");
  computer.MakeFile("Docs/new\nline.qdoc", "new line");
  computer.MakeFile("Docs/bad\xff.qdoc", "new bad");
  computer.MakeFile("Docs/back\\slash.qdoc", "cannot be named");
  // A stray byte that reads like the Latin-1 letter is another document.
  computer.MakeFile("Inst/My Documents/\xc0.qdoc", "stray");
  computer.MakeFile("Inst/My Documents/bad\xff.qdoc", "old bad");

  Transcribed window;
  window.Form().CopyAllFiles("H:\\Docs", "H:\\Inst\\My Documents");
  EXPECT_EQ(computer.ReadFile("Inst/My Documents/\xc3\x80.qdoc"), "new A-grave");
  EXPECT_EQ(computer.ReadFile("Inst/My Documents/\xc0.qdoc"), "stray");
  EXPECT_EQ(computer.ReadFile("Inst/My Documents/new\nline.qdoc"), "new line");
  EXPECT_EQ(computer.ReadFile("Inst/My Documents/bad\xff.qdoc"), "new bad");
  EXPECT_EQ(computer.ReadFile("Inst/My Documents/back\\slash.qdoc"), "<missing>");
  EXPECT_EQ(computer.ReadFile("Inst/My Documents/back/slash.qdoc"), "<missing>");
  EXPECT_EQ(window.DetailLines().size(), 3u);
}

}  // namespace
