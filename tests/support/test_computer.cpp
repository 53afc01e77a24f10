#include "tests/support/test_computer.h"

#include <algorithm>
#include <atomic>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include "platform/text.h"
#include "tests/support/computer_os.h"

namespace lumbrel_test {
namespace {

namespace fs = std::filesystem;

std::string Lower(char letter) {
  return std::string(1, platform::AsciiLower(letter));
}

}  // namespace

bool TestComputer::OwnsWholeDrives() {
  return computer_os::OwnsWholeDrives();
}

TestComputer::TestComputer() : prefix_(computer_os::EnterNewPrefix(saved_prefix_, had_prefix_)) {}

TestComputer::~TestComputer() {
  for (const std::string& area : areas_) computer_os::RemoveAll(Host(area));
  if (prefix_.empty()) return;
  computer_os::LeavePrefix(saved_prefix_, had_prefix_);
  computer_os::RemoveAll(prefix_);
}

std::string TestComputer::AddDrive(char letter, const std::string& type) {
  letter = platform::AsciiUpper(letter);
  const std::string drive{letter, ':'};
  const bool gone = type == "missing" || type == "nowhere";
  if (!OwnsWholeDrives()) {
    if (gone) return drive;
    // A new folder: process ids come round again, and a folder an earlier
    // run left must not be taken for this test's.
    static std::atomic<unsigned> counter{0};
    std::string area;
    do {
      area = drive + "\\lt-" + std::to_string(computer_os::ProcessId()) + '-' +
             std::to_string(counter.fetch_add(1));
    } while (!fs::create_directory(Host(area)));
    areas_.push_back(area);
    return area;
  }
  const std::string folder = prefix_ + "/drive_" + Lower(letter);
  if (!gone) fs::create_directories(folder);
  fs::create_symlink(folder, prefix_ + "/dosdevices/" + Lower(letter) + ':');
  if (type != "unlisted" && type != "nowhere") types_[letter] = type == "missing" ? "hd" : type;
  std::ofstream reg(prefix_ + "/system.reg", std::ios::trunc);
  reg << "WINE REGISTRY Version 2\n\n[Software\\\\Wine\\\\Drives]\n";
  for (const auto& [listed, listed_type] : types_) {
    reg << '"' << Lower(listed) << ":\"=\"" << listed_type << "\"\n";
  }
  return drive;
}

void TestComputer::MapDrive(char letter, const fs::path& target) {
  fs::create_directory_symlink(target, prefix_ + "/dosdevices/" + Lower(letter) + ':');
}

fs::path TestComputer::Host(const std::string& path) const {
  return computer_os::Host(prefix_, path);
}

void TestComputer::MakeFolder(const std::string& path) {
  fs::create_directories(Host(path));
}

void TestComputer::MakeFile(const std::string& path, const std::string& content) {
  fs::create_directories(Host(path).parent_path());
  std::ofstream file(Host(path), std::ios::binary | std::ios::trunc);
  if (!file.write(content.data(), static_cast<std::streamsize>(content.size())).flush()) {
    throw std::runtime_error("cannot write " + path);
  }
}

void TestComputer::SetAttributes(const std::string& path, int32_t attributes) {
  computer_os::SetAttributes(Host(path), attributes);
}

bool TestComputer::MakeLink(const std::string& path, const std::string& target) {
  return computer_os::MakeLink(Host(path), Host(target));
}

std::string TestComputer::Read(const std::string& path) const {
  std::ifstream file(Host(path), std::ios::binary);
  if (!file) return "<missing>";
  std::ostringstream content;
  content << file.rdbuf();
  return content.str();
}

std::vector<std::string> TestComputer::List(const std::string& path) const {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(Host(path))) {
    const std::u8string name = entry.path().filename().u8string();
    names.emplace_back(name.begin(), name.end());
  }
  std::sort(names.begin(), names.end());
  return names;
}

void TestComputer::Remove(const std::string& path) {
  computer_os::RemoveAll(Host(path));
}

}  // namespace lumbrel_test
