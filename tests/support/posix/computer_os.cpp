#include "tests/support/computer_os.h"

#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <system_error>

#include "platform/text.h"

namespace lumbrel_test::computer_os {
namespace {

[[noreturn]] void Fail(const std::string& what, const std::filesystem::path& path) {
  throw std::system_error(errno, std::generic_category(), what + " " + path.string());
}

}  // namespace

bool OwnsWholeDrives() {
  return true;
}

unsigned ProcessId() {
  return static_cast<unsigned>(getpid());
}

std::string EnterNewPrefix(std::string& saved, bool& had_saved) {
  // Staging is mostly making folders: in memory where the system offers it.
  const bool in_memory = access("/dev/shm", W_OK | X_OK) == 0;
  std::string pattern =
      (in_memory ? std::filesystem::path("/dev/shm") : std::filesystem::temp_directory_path()) /
      "lumbrel-computer-XXXXXX";
  if (mkdtemp(pattern.data()) == nullptr) Fail("cannot make", pattern);
  std::filesystem::create_directories(pattern + "/dosdevices");
  const char* old = std::getenv("WINEPREFIX");
  had_saved = old != nullptr;
  if (had_saved) saved = old;
  setenv("WINEPREFIX", pattern.c_str(), 1);
  return pattern;
}

void LeavePrefix(const std::string& saved, bool had_saved) {
  if (had_saved) {
    setenv("WINEPREFIX", saved.c_str(), 1);
  } else {
    unsetenv("WINEPREFIX");
  }
}

std::filesystem::path Host(const std::string& prefix, const std::string& windows_path) {
  std::string path = prefix + "/dosdevices/" + platform::AsciiLower(windows_path.at(0)) + ':';
  for (size_t i = 2; i < windows_path.size(); ++i) {
    path += windows_path[i] == '\\' ? '/' : windows_path[i];
  }
  return path;
}

void SetAttributes(const std::filesystem::path& path, int32_t attributes) {
  struct stat info;
  if (lstat(path.c_str(), &info) != 0) Fail("cannot examine", path);
  if (S_ISLNK(info.st_mode)) return;
  const mode_t mode = (attributes & 1) != 0 ? info.st_mode & 07555 : (info.st_mode & 07777) | 0700;
  if (chmod(path.c_str(), mode) != 0) Fail("cannot change the mode of", path);
  // Wine keeps hidden (2) and system (4) in this attribute.
  const int32_t dos = attributes & 6;
  if (dos != 0) {
    char value[8];
    const int size = std::snprintf(value, sizeof value, "0x%x", static_cast<unsigned>(dos));
    if (setxattr(path.c_str(), "user.DOSATTRIB", value, static_cast<size_t>(size), 0) != 0) {
      Fail("cannot mark", path);
    }
  } else if (removexattr(path.c_str(), "user.DOSATTRIB") != 0 && errno != ENODATA) {
    Fail("cannot unmark", path);
  }
}

bool MakeLink(const std::filesystem::path& link, const std::filesystem::path& target) {
  return symlink(target.c_str(), link.c_str()) == 0;
}

void RemoveAll(const std::filesystem::path& path) {
  std::error_code error;
  const auto status = std::filesystem::symlink_status(path, error);
  if (error) return;
  if (std::filesystem::is_directory(status)) {
    chmod(path.c_str(), 0700);  // a read-only folder keeps its entries
    for (const auto& entry : std::filesystem::directory_iterator(path, error)) {
      RemoveAll(entry.path());
    }
  }
  std::filesystem::remove(path, error);
}

}  // namespace lumbrel_test::computer_os
