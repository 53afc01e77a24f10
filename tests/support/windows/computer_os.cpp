#include "tests/support/computer_os.h"

#include <stdexcept>

#include "platform/windows/handles.h"

namespace lumbrel_test::computer_os {

bool OwnsWholeDrives() {
  return false;
}

unsigned ProcessId() {
  return static_cast<unsigned>(GetCurrentProcessId());
}

std::string EnterNewPrefix(std::string&, bool&) {
  return {};
}

void LeavePrefix(const std::string&, bool) {}

std::filesystem::path Host(const std::string&, const std::string& windows_path) {
  return std::filesystem::path(std::u8string(windows_path.begin(), windows_path.end()));
}

void SetAttributes(const std::filesystem::path& path, int32_t attributes) {
  const DWORD current = GetFileAttributesW(path.c_str());
  if (current == INVALID_FILE_ATTRIBUTES) {
    throw std::runtime_error("cannot examine " + path.string());
  }
  constexpr DWORD kChosen = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
  DWORD wanted = (current & FILE_ATTRIBUTE_ARCHIVE) | (static_cast<DWORD>(attributes) & kChosen);
  if (wanted == 0) wanted = FILE_ATTRIBUTE_NORMAL;
  if (!SetFileAttributesW(path.c_str(), wanted)) {
    throw std::runtime_error("cannot set the attributes of " + path.string());
  }
}

// Wine's CreateSymbolicLinkW may report success without making anything, so
// only a reparse point actually found counts.
bool MakeLink(const std::filesystem::path& link, const std::filesystem::path& target) {
  constexpr DWORD kUnprivileged = 0x2;  // SYMBOLIC_LINK_FLAG_ALLOW_UNPRIVILEGED_CREATE
  const DWORD kind = std::filesystem::is_directory(target) ? SYMBOLIC_LINK_FLAG_DIRECTORY : 0;
  CreateSymbolicLinkW(link.c_str(), target.c_str(), kind | kUnprivileged);
  const DWORD attributes = GetFileAttributesW(link.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
}

namespace {

void RemoveExtended(const std::wstring& path) {
  const DWORD attributes = GetFileAttributesW(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return;
  SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
  if ((attributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
    DeleteFileW(path.c_str());
    return;
  }
  if ((attributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0) {
    WIN32_FIND_DATAW data;
    const platform::windows::OwnedHandle find(FindFirstFileW((path + L"\\*").c_str(), &data),
                                              FindClose);
    if (find.valid()) {
      do {
        const std::wstring name = data.cFileName;
        if (name != L"." && name != L"..") RemoveExtended(path + L"\\" + name);
      } while (FindNextFileW(find.get(), &data));
    }
  }
  RemoveDirectoryW(path.c_str());
}

}  // namespace

// Extended-length paths: tests stage paths far beyond 260 characters.
void RemoveAll(const std::filesystem::path& path) {
  RemoveExtended(L"\\\\?\\" + path.wstring());
}

}  // namespace lumbrel_test::computer_os
