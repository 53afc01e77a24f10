#include "platform/windows/listing.h"

#include <algorithm>
#include <climits>
#include <utility>

#include "platform/file_system.h"
#include "platform/keep_alive.h"
#include "platform/windows/handles.h"
#include "platform/windows/long_path.h"
#include "platform/windows/wide_string.h"
#include "platform/windows/win32.h"
#include "platform/windows/win_error.h"

namespace platform::windows {
namespace {

HANDLE FindFirst(const std::wstring& pattern, WIN32_FIND_DATAW& data, DWORD flags) {
  return FindFirstFileExW(pattern.c_str(), FindExInfoBasic, &data, FindExSearchNameMatch, nullptr,
                          flags);
}

bool IsDotEntry(const wchar_t* name) {
  return name[0] == L'.' && (name[1] == L'\0' || (name[1] == L'.' && name[2] == L'\0'));
}

bool IsMissing(DWORD error) {
  return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ||
         error == ERROR_INVALID_NAME || error == ERROR_BAD_PATHNAME || error == ERROR_DIRECTORY;
}

int Length(const std::wstring& text) {
  return static_cast<int>(std::min<size_t>(text.size(), INT_MAX));
}

// NTFS's own order: letters compared without case, ordinal on ties so the
// order is total.
bool NameBefore(const std::wstring& a, const std::wstring& b) {
  const int folded = CompareStringOrdinal(a.c_str(), Length(a), b.c_str(), Length(b), TRUE);
  if (folded != CSTR_EQUAL) return folded == CSTR_LESS_THAN;
  return a < b;
}

}  // namespace

int32_t AttributesFromSystem(uint32_t system_attributes) {
  constexpr uint32_t kKept = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN |
                             FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_DIRECTORY |
                             FILE_ATTRIBUTE_ARCHIVE;
  int32_t attributes = static_cast<int32_t>(system_attributes & kKept);
  if ((system_attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) attributes |= kAttrAlias;
  return attributes;
}

std::vector<ListedEntry> ListFolder(const std::wstring& folder, ListKind kind) {
  KeepAlive();
  std::wstring pattern = folder;
  if (!pattern.empty() && pattern.back() != L'\\') pattern += L'\\';
  pattern += L'*';
  WIN32_FIND_DATAW data;
  const OwnedHandle find(FindFirst(pattern, data, FIND_FIRST_EX_LARGE_FETCH), FindClose);
  if (!find.valid()) {
    // An empty root has no "." entry, so the search finds nothing at all.
    if (GetLastError() == ERROR_FILE_NOT_FOUND) return {};
    ThrowLastError();
  }
  const bool want_folders = kind == ListKind::kFolders;
  std::vector<std::pair<std::wstring, DWORD>> found;
  size_t seen = 0;
  do {
    // A folder of a million entries takes a while to list.
    if (++seen % 1024 == 0) KeepAlive();
    const bool is_folder = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    if (is_folder != want_folders || IsDotEntry(data.cFileName)) continue;
    found.emplace_back(data.cFileName, data.dwFileAttributes);
  } while (FindNextFileW(find.get(), &data));
  if (GetLastError() != ERROR_NO_MORE_FILES) ThrowLastError();

  std::sort(found.begin(), found.end(),
            [](const auto& a, const auto& b) { return NameBefore(a.first, b.first); });
  std::vector<ListedEntry> entries;
  entries.reserve(found.size());
  for (const auto& [name, attributes] : found) {
    entries.push_back({Narrow(name), AttributesFromSystem(attributes)});
  }
  return entries;
}

std::optional<ListedEntry> FindEntry(const std::wstring& path) {
  WIN32_FIND_DATAW data;
  const OwnedHandle find(FindFirst(path, data, 0), FindClose);
  if (!find.valid()) {
    if (IsMissing(GetLastError())) return std::nullopt;
    ThrowLastError();
  }
  return ListedEntry{Narrow(data.cFileName), AttributesFromSystem(data.dwFileAttributes)};
}

std::optional<ListedEntry> FindStoredPath(const win_path::DrivePath& path,
                                          win_path::DrivePath& stored) {
  stored = win_path::DrivePath{path.drive, {}};
  const DWORD root = GetFileAttributesW(ExtendedPath(stored).c_str());
  if (root == INVALID_FILE_ATTRIBUTES) return std::nullopt;
  ListedEntry entry{"", AttributesFromSystem(root)};
  for (const std::string& component : path.components) {
    if (win_path::HasWildcards(component)) return std::nullopt;
    stored.components.push_back(component);
    std::optional<ListedEntry> found = FindEntry(ExtendedPath(stored));
    if (!found) return std::nullopt;
    entry = std::move(*found);
    stored.components.back() = entry.name;
  }
  return entry;
}

}  // namespace platform::windows
