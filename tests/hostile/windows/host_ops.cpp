#include "tests/hostile/host_ops.h"

#include <windows.h>

#include <stdexcept>
#include <string>

namespace hostile {
namespace {

// Every call gets the extended-length form, so no path is too long.
std::wstring Extended(const std::string& windows_path) {
  const int size = MultiByteToWideChar(CP_UTF8, 0, windows_path.data(),
                                       static_cast<int>(windows_path.size()), nullptr, 0);
  std::wstring wide(static_cast<size_t>(size), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, windows_path.data(), static_cast<int>(windows_path.size()),
                      wide.data(), size);
  return L"\\\\?\\" + wide;
}

[[noreturn]] void Fail(const std::string& what) {
  throw std::runtime_error(what + " (error " + std::to_string(GetLastError()) + ")");
}

HANDLE OpenFile(const std::string& windows_path, DWORD access, DWORD disposition) {
  const HANDLE file = CreateFileW(Extended(windows_path).c_str(), access, FILE_SHARE_READ, nullptr,
                                  disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) Fail("cannot open " + windows_path.substr(0, 80));
  return file;
}

void RemoveBelow(const std::wstring& folder) {
  WIN32_FIND_DATAW found;
  const HANDLE search = FindFirstFileW((folder + L"\\*").c_str(), &found);
  if (search != INVALID_HANDLE_VALUE) {
    do {
      const std::wstring name = found.cFileName;
      if (name == L"." || name == L"..") continue;
      const std::wstring path = folder + L"\\" + name;
      SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
      const DWORD attributes = found.dwFileAttributes;
      if ((attributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
        DeleteFileW(path.c_str());
      } else if ((attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) {
        RemoveDirectoryW(path.c_str());  // the link, never what it leads to
      } else {
        RemoveBelow(path);
      }
    } while (FindNextFileW(search, &found));
    FindClose(search);
  }
  RemoveDirectoryW(folder.c_str());
}

}  // namespace

std::string MakeChain(const std::string& windows_folder, int depth, const std::string& segment) {
  std::string path = windows_folder;
  for (int level = 0; level < depth; ++level) {
    path += '\\' + segment;
    if (!CreateDirectoryW(Extended(path).c_str(), nullptr) &&
        GetLastError() != ERROR_ALREADY_EXISTS) {
      Fail("cannot make level " + std::to_string(level));
    }
  }
  return path;
}

void WriteFileAnyLength(const std::string& windows_path, const std::string& content) {
  const HANDLE file = OpenFile(windows_path, GENERIC_WRITE, CREATE_ALWAYS);
  DWORD written = 0;
  const BOOL ok =
      WriteFile(file, content.data(), static_cast<DWORD>(content.size()), &written, nullptr);
  CloseHandle(file);
  if (!ok || written != content.size()) Fail("cannot write " + windows_path.substr(0, 80));
}

std::string ReadFileAnyLength(const std::string& windows_path) {
  const HANDLE file = OpenFile(windows_path, GENERIC_READ, OPEN_EXISTING);
  std::string content;
  char buffer[4096];
  DWORD got = 0;
  while (ReadFile(file, buffer, sizeof buffer, &got, nullptr) && got > 0)
    content.append(buffer, got);
  CloseHandle(file);
  return content;
}

void MakeEmptyFiles(const std::string& windows_folder, int count, const std::string& prefix) {
  for (int k = 0; k < count; ++k) {
    CloseHandle(
        OpenFile(windows_folder + '\\' + prefix + std::to_string(k), GENERIC_WRITE, CREATE_NEW));
  }
}

void RemoveAnyDepth(const std::string& windows_folder) {
  RemoveBelow(Extended(windows_folder));
}

}  // namespace hostile
