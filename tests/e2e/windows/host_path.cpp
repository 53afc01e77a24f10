#include "tests/e2e/host_path.h"

namespace lumbrel_test {

std::filesystem::path HostPath(const std::string& windows_path) {
  std::u8string utf8;
  for (const char c : windows_path) utf8.push_back(static_cast<char8_t>(c));
  return std::filesystem::path(utf8);
}

}  // namespace lumbrel_test
