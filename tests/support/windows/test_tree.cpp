#include "tests/support/test_tree.h"

#include <windows.h>
#include <winioctl.h>

#include <algorithm>
#include <atomic>
#include <climits>
#include <cstddef>
#include <cstring>
#include <stdexcept>
#include <vector>

namespace lumbrel_test {
namespace {

[[noreturn]] void Fail(const std::string& what, const std::string& path) {
  throw std::runtime_error(what + " " + path + " (Win32 error " + std::to_string(GetLastError()) +
                           ")");
}

std::wstring Widen(const std::string& text) {
  if (text.empty()) return {};
  const int in = static_cast<int>(text.size());
  const int out = MultiByteToWideChar(CP_UTF8, 0, text.data(), in, nullptr, 0);
  std::wstring wide(static_cast<size_t>(out), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, text.data(), in, wide.data(), out);
  return wide;
}

std::string Narrow(const std::wstring& wide) {
  if (wide.empty()) return {};
  const int in = static_cast<int>(wide.size());
  const int out = WideCharToMultiByte(CP_UTF8, 0, wide.data(), in, nullptr, 0, nullptr, nullptr);
  std::string text(static_cast<size_t>(out), '\0');
  WideCharToMultiByte(CP_UTF8, 0, wide.data(), in, text.data(), out, nullptr, nullptr);
  return text;
}

// Extended-length form, so the long-path cases can be staged as well.
std::wstring SystemPath(const std::string& windows_path) {
  std::wstring path = Widen(windows_path);
  std::replace(path.begin(), path.end(), L'/', L'\\');
  while (path.size() > 3 && path.back() == L'\\') path.pop_back();
  return L"\\\\?\\" + path;
}

void RemoveAll(const std::wstring& path) {
  const DWORD attributes = GetFileAttributesW(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return;
  SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
  if ((attributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
    DeleteFileW(path.c_str());
    return;
  }
  // A link to a folder goes on its own; what it points at stays.
  if ((attributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0) {
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileW((path + L"\\*").c_str(), &data);
    if (find != INVALID_HANDLE_VALUE) {
      do {
        const std::wstring name = data.cFileName;
        if (name != L"." && name != L"..") RemoveAll(path + L"\\" + name);
      } while (FindNextFileW(find, &data));
      FindClose(find);
    }
  }
  RemoveDirectoryW(path.c_str());
}

bool IsLink(const std::wstring& path) {
  const DWORD attributes = GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
}

// Wine's CreateSymbolicLinkW may report success without making anything, so
// only a reparse point actually found counts.
bool MakeSymbolicLink(const std::wstring& link, const std::wstring& target, DWORD kind) {
  constexpr DWORD kUnprivileged = 0x2;  // SYMBOLIC_LINK_FLAG_ALLOW_UNPRIVILEGED_CREATE
  if (CreateSymbolicLinkW(link.c_str(), target.c_str(), kind | kUnprivileged) && IsLink(link)) {
    return true;
  }
  if (CreateSymbolicLinkW(link.c_str(), target.c_str(), kind) && IsLink(link)) return true;
  RemoveAll(link);
  return false;
}

// A junction: the folder link Windows lets anybody make.
bool MakeJunction(const std::wstring& link, const std::wstring& target) {
  if (!CreateDirectoryW(link.c_str(), nullptr)) return false;
  const std::wstring substitute = L"\\??\\" + target.substr(4);  // NT form of "\\?\X:\..."
  const size_t name_bytes = substitute.size() * sizeof(wchar_t);
  // REPARSE_DATA_BUFFER's mount-point layout: tag, lengths, then the
  // substitute and print names, each followed by a NUL.
  std::vector<unsigned char> buffer(8 + 8 + name_bytes + 2 + 2, 0);
  const auto put16 = [&](size_t at, size_t value) {
    const auto v = static_cast<unsigned short>(value);
    std::memcpy(&buffer[at], &v, sizeof v);
  };
  const DWORD tag = IO_REPARSE_TAG_MOUNT_POINT;
  std::memcpy(buffer.data(), &tag, sizeof tag);
  put16(4, buffer.size() - 8);  // ReparseDataLength
  put16(8, 0);                  // SubstituteNameOffset
  put16(10, name_bytes);        // SubstituteNameLength
  put16(12, name_bytes + 2);    // PrintNameOffset
  put16(14, 0);                 // PrintNameLength
  std::memcpy(&buffer[16], substitute.data(), name_bytes);

  bool made = false;
  HANDLE handle = CreateFileW(link.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                              FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
  if (handle != INVALID_HANDLE_VALUE) {
    DWORD returned = 0;
    made = DeviceIoControl(handle, FSCTL_SET_REPARSE_POINT, buffer.data(),
                           static_cast<DWORD>(buffer.size()), nullptr, 0, &returned, nullptr) &&
           IsLink(link);
    CloseHandle(handle);
  }
  if (!made) RemoveDirectoryW(link.c_str());
  return made;
}

}  // namespace

TestTree::TestTree() {
  static std::atomic<unsigned> counter{0};
  root_ = std::string{kScratchDrive, ':', '\\'} + "lt-" + std::to_string(GetCurrentProcessId()) +
          '-' + std::to_string(counter.fetch_add(1));
  if (!CreateDirectoryW(SystemPath(root_).c_str(), nullptr)) Fail("cannot make", root_);
}

TestTree::~TestTree() {
  RemoveAll(SystemPath(root_));
}

std::string TestTree::PathOf(const std::string& relative) const {
  return relative.empty() ? root_ : root_ + '\\' + relative;
}

void TestTree::MakeFolder(const std::string& relative) {
  std::string done = root_;
  size_t start = 0;
  while (start <= relative.size()) {
    size_t end = relative.find_first_of("\\/", start);
    if (end == std::string::npos) end = relative.size();
    if (end > start) {
      done.push_back('\\');
      done.append(relative, start, end - start);
      if (!CreateDirectoryW(SystemPath(done).c_str(), nullptr) &&
          GetLastError() != ERROR_ALREADY_EXISTS) {
        Fail("cannot make", done);
      }
    }
    start = end + 1;
  }
}

void TestTree::MakeFile(const std::string& relative, const std::string& content) {
  const std::wstring path = SystemPath(PathOf(relative));
  HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) Fail("cannot write", PathOf(relative));
  DWORD written = 0;
  const bool ok =
      WriteFile(file, content.data(), static_cast<DWORD>(content.size()), &written, nullptr) &&
      written == content.size();
  CloseHandle(file);
  if (!ok) Fail("cannot write", PathOf(relative));
}

void TestTree::SetAttributes(const std::string& relative, int32_t attributes) {
  const std::wstring path = SystemPath(PathOf(relative));
  const DWORD current = GetFileAttributesW(path.c_str());
  if (current == INVALID_FILE_ATTRIBUTES) Fail("cannot examine", PathOf(relative));
  constexpr DWORD kChosen = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
  DWORD wanted = (current & FILE_ATTRIBUTE_ARCHIVE) | (static_cast<DWORD>(attributes) & kChosen);
  if (wanted == 0) wanted = FILE_ATTRIBUTE_NORMAL;
  if (!SetFileAttributesW(path.c_str(), wanted)) Fail("cannot set attributes of", PathOf(relative));
}

std::string TestTree::ReadFile(const std::string& relative) const {
  const std::wstring path = SystemPath(PathOf(relative));
  HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) Fail("cannot read", PathOf(relative));
  std::string content;
  char block[4096];
  DWORD read = 0;
  while (::ReadFile(file, block, sizeof block, &read, nullptr) && read > 0)
    content.append(block, read);
  CloseHandle(file);
  return content;
}

bool TestTree::Exists(const std::string& relative) const {
  return GetFileAttributesW(SystemPath(PathOf(relative)).c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::vector<std::string> TestTree::List(const std::string& relative) const {
  WIN32_FIND_DATAW data;
  HANDLE find = FindFirstFileW((SystemPath(PathOf(relative)) + L"\\*").c_str(), &data);
  if (find == INVALID_HANDLE_VALUE) Fail("cannot list", PathOf(relative));
  std::vector<std::string> names;
  do {
    const std::wstring name = data.cFileName;
    if (name != L"." && name != L"..") names.push_back(Narrow(name));
  } while (FindNextFileW(find, &data));
  FindClose(find);
  std::sort(names.begin(), names.end());
  return names;
}

bool TestTree::MakeFolderLink(const std::string& relative, const std::string& target_relative) {
  const std::wstring link = SystemPath(PathOf(relative));
  const std::wstring target = SystemPath(PathOf(target_relative));
  return MakeSymbolicLink(link, target, SYMBOLIC_LINK_FLAG_DIRECTORY) || MakeJunction(link, target);
}

bool TestTree::MakeFileLink(const std::string& relative, const std::string& target_relative) {
  return MakeSymbolicLink(SystemPath(PathOf(relative)), SystemPath(PathOf(target_relative)), 0);
}

void TestTree::Remove(const std::string& relative) {
  RemoveAll(SystemPath(PathOf(relative)));
}

}  // namespace lumbrel_test
