#pragma once

// The one way tests stage a computer: a Wine-style prefix with drives of
// chosen types, folders, files, attributes and links, addressed by Windows
// paths, plus the faults a real disk cannot produce on demand.
//
// Natively each object is a new private prefix holding exactly the drives the
// test adds; it is this process's WINEPREFIX while the object lives. Under
// Wine the test runs inside the prefix that scripts/make-test-prefix laid out
// (its drive table is there); the object then owns a new folder on each drive
// it adds and removes it afterwards. Set-up goes through the system's own
// calls, never through the layer under test.

#include <cstdint>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "platform/file_system.h"

namespace lumbrel_test {

// How one listing (a folder's SubFolders or Files) misbehaves.
enum class ListFault {
  kNone,
  kListThrows,         // the listing call itself raises
  kCountThrows,        // reading Count raises
  kEnumerationThrows,  // the enumeration raises after delivering its first element
  kMoreThanCount,      // Count is one less than what the enumeration delivers
  kFewerThanCount,     // Count is one more than what the enumeration delivers
};

// Faults applied by TestComputer::FileSystem(), keyed by the Path() the real
// layer reports. Counters record what callers asked of each path.
struct Faults {
  std::map<std::string, ListFault> subfolders;
  std::map<std::string, ListFault> files;
  std::set<std::string> unreadable;       // Path() raises 70
  std::set<std::string> attributes_fail;  // Attributes() and IsAlias() raise 70
  std::set<std::string> off_disk;         // LeadsOffDisk() is true
  std::function<void()> drives_raise;     // runs as Drives() is asked, to throw
  std::map<std::string, int> listings;    // SubFolders() and Files() calls
  int path_reads = 0;
};

class TestComputer {
 public:
  TestComputer();
  ~TestComputer();
  TestComputer(const TestComputer&) = delete;
  TestComputer& operator=(const TestComputer&) = delete;

  // True natively, where whole drives belong to the test; false under Wine,
  // where the test owns one folder on each drive of the shared prefix.
  static bool OwnsWholeDrives();

  // Adds drive `letter` with a Wine drive type ("hd", "cdrom", "floppy",
  // "network", "ramdisk"; "unlisted" leaves the type to Wine's defaults;
  // "missing" is a fixed drive whose folder is gone, "nowhere" an unlisted
  // one whose folder is gone). Returns the Windows path
  // the test may fill: "X:" natively, "X:\lt-<pid>-<n>" under Wine.
  std::string AddDrive(char letter, const std::string& type = "hd");

  // Natively: drive `letter`, of Wine's default type, leading to the host
  // folder `target` wherever it is; and the prefix folder itself.
  void MapDrive(char letter, const std::filesystem::path& target);
  const std::string& Prefix() const { return prefix_; }

  void MakeFolder(const std::string& path);  // parents too
  void MakeFile(const std::string& path, const std::string& content = "");
  // Sets exactly these of read-only (1), hidden (2) and system (4).
  void SetAttributes(const std::string& path, int32_t attributes);
  // A link at `path` to the folder or file `target`; false when the system
  // cannot make one (Wine makes none through its Win32 calls).
  bool MakeLink(const std::string& path, const std::string& target);
  std::string Read(const std::string& path) const;               // "<missing>" when absent
  std::vector<std::string> List(const std::string& path) const;  // names, sorted
  void Remove(const std::string& path);                          // a file, a link or a whole folder
  // Where `path` is for the system's own calls.
  std::filesystem::path Host(const std::string& path) const;

  // The system's file-system object with `faults` applied to everything
  // reached through it.
  platform::FileSystemObjectRef FileSystem();
  Faults faults;

 private:
  std::string saved_prefix_;
  bool had_prefix_ = false;
  std::string prefix_;
  std::map<char, std::string> types_;
  std::vector<std::string> areas_;
};

// `relative` inside the folder `area` that AddDrive gave; "" is the folder
// itself ("X:\" for a whole drive).
inline std::string PathIn(const std::string& area, const std::string& relative) {
  if (relative.empty()) return area.size() == 2 ? area + "\\" : area;
  return area + "\\" + relative;
}

}  // namespace lumbrel_test
