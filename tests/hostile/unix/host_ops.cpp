#include "tests/hostile/host_ops.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <string>
#include <system_error>
#include <vector>

#include "tests/e2e/host_path.h"

namespace hostile {
namespace {

[[noreturn]] void Fail(const std::string& what) {
  throw std::system_error(errno, std::generic_category(), what);
}

// Opens the folder at `windows_path` one component at a time, so that no
// single call sees a path longer than one name.
int OpenFolder(const std::string& windows_path) {
  const std::string host = lumbrel_test::HostPath(windows_path.substr(0, 3)).string();
  int fd = open(host.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) Fail("cannot open " + host);
  size_t at = 3;
  while (at < windows_path.size()) {
    size_t end = windows_path.find('\\', at);
    if (end == std::string::npos) end = windows_path.size();
    const std::string name = windows_path.substr(at, end - at);
    at = end + 1;
    if (name.empty()) continue;
    const int next = openat(fd, name.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    close(fd);
    if (next < 0) Fail("cannot open " + name + " in " + windows_path);
    fd = next;
  }
  return fd;
}

std::string Parent(const std::string& windows_path) {
  return windows_path.substr(0, windows_path.rfind('\\'));
}

std::string Leaf(const std::string& windows_path) {
  return windows_path.substr(windows_path.rfind('\\') + 1);
}

// The names in the folder open as `fd`, which stays open.
std::vector<std::string> NamesIn(int fd) {
  DIR* dir = fdopendir(dup(fd));
  if (dir == nullptr) Fail("cannot list");
  rewinddir(dir);
  std::vector<std::string> names;
  while (const dirent* entry = readdir(dir)) {
    const std::string name = entry->d_name;
    if (name != "." && name != "..") names.push_back(name);
  }
  closedir(dir);
  return names;
}

// Empties and removes the folder `name` of the folder open as `parent`,
// holding two descriptors at most however deep it goes: it climbs back
// through "..", keeping only the names on the way down.
void RemoveBelow(int parent, const std::string& name) {
  std::vector<std::string> down{name};
  fchmodat(parent, name.c_str(), 0755, 0);
  int fd = openat(parent, name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
  if (fd < 0) return;
  while (!down.empty()) {
    bool descended = false;
    for (const std::string& entry : NamesIn(fd)) {
      if (unlinkat(fd, entry.c_str(), 0) == 0) continue;
      fchmodat(fd, entry.c_str(), 0755, 0);
      const int child = openat(fd, entry.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
      if (child < 0) continue;
      close(fd);
      fd = child;
      down.push_back(entry);
      descended = true;
      break;
    }
    if (descended) continue;
    const int up = openat(fd, "..", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    close(fd);
    if (up < 0) Fail("cannot climb back from " + down.back());
    unlinkat(up, down.back().c_str(), AT_REMOVEDIR);
    down.pop_back();
    fd = up;
  }
  close(fd);
}

}  // namespace

std::string MakeChain(const std::string& windows_folder, int depth, const std::string& segment) {
  int fd = OpenFolder(windows_folder);
  std::string path = windows_folder;
  for (int level = 0; level < depth; ++level) {
    if (mkdirat(fd, segment.c_str(), 0755) != 0 && errno != EEXIST) Fail("cannot make " + path);
    const int next = openat(fd, segment.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    close(fd);
    if (next < 0) Fail("cannot enter " + path);
    fd = next;
    path += '\\' + segment;
  }
  close(fd);
  return path;
}

void WriteFileAnyLength(const std::string& windows_path, const std::string& content) {
  const int folder = OpenFolder(Parent(windows_path));
  const int fd = openat(folder, Leaf(windows_path).c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  close(folder);
  if (fd < 0) Fail("cannot write " + windows_path);
  const bool written =
      write(fd, content.data(), content.size()) == static_cast<ssize_t>(content.size());
  close(fd);
  if (!written) Fail("cannot write " + windows_path);
}

std::string ReadFileAnyLength(const std::string& windows_path) {
  const int folder = OpenFolder(Parent(windows_path));
  const int fd = openat(folder, Leaf(windows_path).c_str(), O_RDONLY);
  close(folder);
  if (fd < 0) Fail("cannot read " + windows_path);
  std::string content;
  char buffer[4096];
  for (ssize_t got; (got = read(fd, buffer, sizeof buffer)) > 0;) {
    content.append(buffer, static_cast<size_t>(got));
  }
  close(fd);
  return content;
}

void MakeEmptyFiles(const std::string& windows_folder, int count, const std::string& prefix) {
  const int folder = OpenFolder(windows_folder);
  for (int k = 0; k < count; ++k) {
    const int fd = openat(folder, (prefix + std::to_string(k)).c_str(), O_WRONLY | O_CREAT, 0644);
    if (fd < 0) {
      close(folder);
      Fail("cannot make files in " + windows_folder);
    }
    close(fd);
  }
  close(folder);
}

void RemoveAnyDepth(const std::string& windows_folder) {
  const int parent = OpenFolder(Parent(windows_folder));
  RemoveBelow(parent, Leaf(windows_folder));
  close(parent);
}

}  // namespace hostile
