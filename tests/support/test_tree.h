#pragma once

// Real folders for tests, on the scratch drive T: of the test prefix that
// scripts/make-test-prefix lays out (see there for every drive letter and
// type). Addressed by Windows paths so that the same test body runs against
// the Linux back-end natively and against the Win32 back-end under wine64.
// Set-up goes through the system's own calls (POSIX natively, Win32 under
// Wine), never through the layer under test.

#include <cstdint>
#include <string>
#include <vector>

namespace lumbrel_test {

// The scratch drive's letter.
inline constexpr char kScratchDrive = 'T';

class TestTree {
 public:
  // A new, empty folder "T:\<unique name>", removed with everything in it when
  // the object goes.
  TestTree();
  ~TestTree();
  TestTree(const TestTree&) = delete;
  TestTree& operator=(const TestTree&) = delete;

  // "T:\lt-1234-7".
  const std::string& Root() const { return root_; }
  // Root() + "\" + relative; relative paths use backslashes. "" is the root.
  std::string PathOf(const std::string& relative) const;

  void MakeFolder(const std::string& relative);  // parents too
  void MakeFile(const std::string& relative, const std::string& content = "");
  // Sets exactly these of read-only (1), hidden (2) and system (4).
  void SetAttributes(const std::string& relative, int32_t attributes);
  std::string ReadFile(const std::string& relative) const;  // throws if missing
  bool Exists(const std::string& relative) const;
  // Names directly in the folder, as stored, sorted bytewise.
  std::vector<std::string> List(const std::string& relative = "") const;
  // A symbolic link (a junction where Windows offers no links) at `relative`
  // pointing at `target_relative`. False when the system cannot make one.
  bool MakeFolderLink(const std::string& relative, const std::string& target_relative);
  bool MakeFileLink(const std::string& relative, const std::string& target_relative);
  void Remove(const std::string& relative);  // a file, link or whole folder

 private:
  std::string root_;
};

}  // namespace lumbrel_test
