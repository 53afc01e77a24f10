#include "tests/e2e/default_installation.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>

#include "tests/e2e/host_path.h"

namespace lumbrel_test {
namespace {

namespace fs = std::filesystem;

fs::path Folder() {
  return HostPath(kDefaultFolder);
}
fs::path DocumentFolder() {
  return Folder() / "Packages" / "My Documents";
}

void Write(const fs::path& path, const std::string& content) {
  std::ofstream out(path, std::ios::binary);
  out << content;
  if (!out.flush()) throw std::runtime_error("cannot write " + path.string());
}

}  // namespace

DefaultInstallation::DefaultInstallation() {
  if (DefaultInstallationPresent()) {
    throw std::runtime_error(std::string(kDefaultFolder) + " exists already");
  }
  fs::create_directories(Folder() / "Packages" / "QUARN");
  fs::create_directories(DocumentFolder());
  Write(Folder() / "QUARN.exe", "host");
  Write(DocumentFolder() / "Lumbrel.qdoc", "old");
}

DefaultInstallation::~DefaultInstallation() {
  std::error_code ignored;
  fs::remove_all(Folder(), ignored);
}

std::vector<std::string> DefaultInstallation::Documents() const {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(DocumentFolder())) {
    names.push_back(entry.path().filename().string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

std::string DefaultInstallation::Document(const std::string& name) const {
  std::ifstream in(DocumentFolder() / name, std::ios::binary);
  if (!in) throw std::runtime_error("no document " + name);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

bool DefaultInstallationPresent() {
  std::error_code ignored;
  return fs::exists(Folder(), ignored);
}

}  // namespace lumbrel_test
