#include "tests/support/test_tree.h"

#include <dirent.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <system_error>

namespace lumbrel_test {
namespace {

namespace fs = std::filesystem;

[[noreturn]] void Fail(const std::string& what, const std::string& path) {
  throw std::system_error(errno, std::generic_category(), what + " " + path);
}

// The Linux folder of the scratch drive in the prefix the tests run against.
std::string ScratchFolder() {
  const char* prefix = std::getenv("WINEPREFIX");
  if (prefix == nullptr || *prefix == '\0') {
    throw std::runtime_error("WINEPREFIX must name the test prefix (scripts/make-test-prefix)");
  }
  return std::string(prefix) + "/dosdevices/" + static_cast<char>(kScratchDrive - 'A' + 'a') + ':';
}

// The Linux path of a Windows path on the scratch drive.
std::string LinuxPath(const std::string& windows_path) {
  std::string path = ScratchFolder() + '/' + windows_path.substr(3);
  std::replace(path.begin(), path.end(), '\\', '/');
  while (path.size() > 1 && path.back() == '/') path.pop_back();
  return path;
}

// Removal must not stop at a folder without write permission.
void RemoveAll(const std::string& path) {
  std::error_code error;
  if (fs::is_directory(fs::symlink_status(path, error))) {
    chmod(path.c_str(), 0755);
    for (const auto& entry : fs::directory_iterator(path, error)) RemoveAll(entry.path());
  }
  fs::remove_all(path, error);
}

}  // namespace

TestTree::TestTree() {
  static std::atomic<unsigned> counter{0};
  root_ = std::string{kScratchDrive, ':', '\\'} + "lt-" + std::to_string(getpid()) + '-' +
          std::to_string(counter.fetch_add(1));
  if (mkdir(LinuxPath(root_).c_str(), 0755) != 0) Fail("cannot make", LinuxPath(root_));
}

TestTree::~TestTree() {
  RemoveAll(LinuxPath(root_));
}

std::string TestTree::PathOf(const std::string& relative) const {
  return relative.empty() ? root_ : root_ + '\\' + relative;
}

void TestTree::MakeFolder(const std::string& relative) {
  std::error_code error;
  fs::create_directories(LinuxPath(PathOf(relative)), error);
  if (error) throw std::system_error(error, "cannot make " + relative);
}

void TestTree::MakeFile(const std::string& relative, const std::string& content) {
  std::string path = LinuxPath(PathOf(relative));
  std::ofstream file(path, std::ios::binary | std::ios::trunc);
  if (!file || !file.write(content.data(), static_cast<std::streamsize>(content.size()))) {
    Fail("cannot write", path);
  }
}

void TestTree::SetAttributes(const std::string& relative, int32_t attributes) {
  std::string path = LinuxPath(PathOf(relative));
  struct stat info;
  if (stat(path.c_str(), &info) != 0) Fail("cannot examine", path);
  mode_t mode = info.st_mode & 07777;
  mode = (attributes & 1) != 0 ? mode & ~mode_t{0222} : mode | S_IWUSR;
  if (chmod(path.c_str(), mode) != 0) Fail("cannot change mode of", path);
  // Hidden (2) and system (4) live in the extended attribute Wine keeps them
  // in; without either, the attribute goes, as Wine does it.
  int32_t dos = attributes & 6;
  if (dos != 0) {
    char value[8];
    int size = std::snprintf(value, sizeof value, "0x%x", static_cast<unsigned>(dos));
    if (setxattr(path.c_str(), "user.DOSATTRIB", value, static_cast<size_t>(size), 0) != 0) {
      Fail("cannot mark", path);
    }
  } else if (removexattr(path.c_str(), "user.DOSATTRIB") != 0 && errno != ENODATA) {
    Fail("cannot unmark", path);
  }
}

std::string TestTree::ReadFile(const std::string& relative) const {
  std::string path = LinuxPath(PathOf(relative));
  std::ifstream file(path, std::ios::binary);
  if (!file) Fail("cannot read", path);
  std::ostringstream content;
  content << file.rdbuf();
  return content.str();
}

bool TestTree::Exists(const std::string& relative) const {
  struct stat info;
  return lstat(LinuxPath(PathOf(relative)).c_str(), &info) == 0;
}

std::vector<std::string> TestTree::List(const std::string& relative) const {
  std::string path = LinuxPath(PathOf(relative));
  DIR* dir = opendir(path.c_str());
  if (dir == nullptr) Fail("cannot list", path);
  std::vector<std::string> names;
  while (const dirent* entry = readdir(dir)) {
    std::string name = entry->d_name;
    if (name != "." && name != "..") names.push_back(std::move(name));
  }
  closedir(dir);
  std::sort(names.begin(), names.end());
  return names;
}

bool TestTree::MakeFolderLink(const std::string& relative, const std::string& target_relative) {
  return symlink(LinuxPath(PathOf(target_relative)).c_str(), LinuxPath(PathOf(relative)).c_str()) ==
         0;
}

bool TestTree::MakeFileLink(const std::string& relative, const std::string& target_relative) {
  return MakeFolderLink(relative, target_relative);
}

void TestTree::Remove(const std::string& relative) {
  RemoveAll(LinuxPath(PathOf(relative)));
}

}  // namespace lumbrel_test
