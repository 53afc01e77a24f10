#include <stdio.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>

#include "tests/conformance/conformance_support.h"

namespace lumbrel_conformance {

std::string RunProbeCopiedTo(const std::string& windows_path) {
  namespace fs = std::filesystem;
  fs::path source = fs::read_symlink("/proc/self/exe").parent_path() / "exe_folder_probe";
  const char* prefix = std::getenv("WINEPREFIX");
  if (prefix == nullptr) return "";
  char drive = static_cast<char>(windows_path[0] - 'A' + 'a');
  std::string target =
      std::string(prefix) + "/dosdevices/" + drive + ':' + '/' + windows_path.substr(3);
  std::replace(target.begin(), target.end(), '\\', '/');
  fs::copy_file(source, target, fs::copy_options::overwrite_existing);

  FILE* pipe = popen(("'" + target + "'").c_str(), "r");
  if (pipe == nullptr) return "";
  std::string output;
  char buffer[512];
  for (size_t got; (got = fread(buffer, 1, sizeof buffer, pipe)) > 0;) output.append(buffer, got);
  pclose(pipe);
  return output;
}

}  // namespace lumbrel_conformance
