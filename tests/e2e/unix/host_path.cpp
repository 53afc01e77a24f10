#include "tests/e2e/host_path.h"

#include <cctype>
#include <cstdlib>
#include <stdexcept>

namespace lumbrel_test {

std::filesystem::path HostPath(const std::string& windows_path) {
  const char* prefix = std::getenv("WINEPREFIX");
  if (prefix == nullptr || *prefix == '\0') {
    throw std::runtime_error("WINEPREFIX must name the test prefix");
  }
  if (windows_path.size() < 2 || windows_path[1] != ':') {
    throw std::runtime_error("not a drive path: " + windows_path);
  }
  const char letter = static_cast<char>(std::tolower(static_cast<unsigned char>(windows_path[0])));
  std::string rest = windows_path.substr(2);
  for (char& c : rest) {
    if (c == '\\') c = '/';
  }
  return std::filesystem::path(prefix) / "dosdevices" / (std::string(1, letter) + ":" + rest);
}

}  // namespace lumbrel_test
