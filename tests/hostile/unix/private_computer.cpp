#include "tests/hostile/unix/private_computer.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <stdexcept>
#include <system_error>

namespace hostile {

PrivateComputer::PrivateComputer() {
  std::string pattern =
      (std::filesystem::temp_directory_path() / "lumbrel-hostile-XXXXXX").string();
  if (mkdtemp(pattern.data()) == nullptr) {
    throw std::system_error(errno, std::generic_category(), "cannot make " + pattern);
  }
  prefix_ = pattern;
  std::filesystem::create_directories(prefix_ + "/dosdevices");
  std::filesystem::create_directories(prefix_ + "/drive_h");
  std::filesystem::create_symlink(prefix_ + "/drive_h", prefix_ + "/dosdevices/h:");
  std::ofstream(prefix_ + "/system.reg")
      << "WINE REGISTRY Version 2\n\n[Software\\\\Wine\\\\Drives]\n\"h:\"=\"hd\"\n";
  if (const char* old = std::getenv("WINEPREFIX")) {
    saved_prefix_ = old;
    had_prefix_ = true;
  }
  setenv("WINEPREFIX", prefix_.c_str(), 1);
}

PrivateComputer::~PrivateComputer() {
  if (had_prefix_) {
    setenv("WINEPREFIX", saved_prefix_.c_str(), 1);
  } else {
    unsetenv("WINEPREFIX");
  }
  // Folders a test made unreadable must not keep their contents alive.
  std::error_code error;
  for (auto it = std::filesystem::recursive_directory_iterator(
           prefix_, std::filesystem::directory_options::skip_permission_denied, error);
       it != std::filesystem::recursive_directory_iterator(); it.increment(error)) {
    if (it->is_directory(error) && !it->is_symlink(error)) chmod(it->path().c_str(), 0755);
  }
  chmod((prefix_ + "/drive_h").c_str(), 0755);
  std::filesystem::remove_all(prefix_, error);
}

std::string PrivateComputer::Host(const std::string& relative) const {
  return prefix_ + "/drive_h/" + relative;
}

std::string PrivateComputer::MakeFolder(const std::string& relative) const {
  std::filesystem::create_directories(Host(relative));
  return Host(relative);
}

void PrivateComputer::MakeFile(const std::string& relative, const std::string& content) const {
  std::ofstream file(Host(relative), std::ios::binary | std::ios::trunc);
  if (!file || !file.write(content.data(), static_cast<std::streamsize>(content.size()))) {
    throw std::runtime_error("cannot write " + Host(relative));
  }
}

std::string PrivateComputer::ReadFile(const std::string& relative) const {
  std::ifstream file(Host(relative), std::ios::binary);
  if (!file) return "<missing>";
  std::ostringstream content;
  content << file.rdbuf();
  return content.str();
}

std::string PrivateComputer::Names(const std::string& relative) const {
  std::set<std::string> sorted;
  for (const auto& entry : std::filesystem::directory_iterator(Host(relative))) {
    sorted.insert(entry.path().filename().string());
  }
  std::string names;
  for (const std::string& name : sorted) names += name + ";";
  return names;
}

}  // namespace hostile
