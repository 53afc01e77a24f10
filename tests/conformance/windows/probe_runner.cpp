#include <windows.h>

#include "tests/conformance/conformance_support.h"

namespace lumbrel_conformance {
namespace {

std::wstring Wide(const std::string& text) {
  int size =
      MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring wide(static_cast<size_t>(size), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), wide.data(), size);
  return wide;
}

struct Handle {
  HANDLE value = nullptr;
  ~Handle() {
    if (value != nullptr) CloseHandle(value);
  }
};

}  // namespace

std::string RunProbeCopiedTo(const std::string& windows_path) {
  std::wstring self(32768, L'\0');
  self.resize(GetModuleFileNameW(nullptr, self.data(), static_cast<DWORD>(self.size())));
  // Wine names a program outside every drive "unix\...", which is only
  // usable with the \\?\ prefix it dropped.
  if (self.rfind(L"unix\\", 0) == 0) self = L"\\\\?\\" + self;
  std::wstring source = self.substr(0, self.find_last_of(L"\\/") + 1) + L"exe_folder_probe.exe";
  std::wstring target = Wide(windows_path) + L".exe";
  if (!CopyFileW(source.c_str(), target.c_str(), FALSE)) return "";

  SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
  Handle read_end;
  Handle write_end;
  if (!CreatePipe(&read_end.value, &write_end.value, &inherit, 0)) return "";
  SetHandleInformation(read_end.value, HANDLE_FLAG_INHERIT, 0);
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdOutput = write_end.value;
  startup.hStdError = write_end.value;
  PROCESS_INFORMATION process{};
  std::wstring command = L"\"" + target + L"\"";
  std::wstring folder = target.substr(0, target.find_last_of(L'\\'));
  if (!CreateProcessW(target.c_str(), command.data(), nullptr, nullptr, TRUE, 0, nullptr,
                      folder.c_str(), &startup, &process)) {
    return "";
  }
  CloseHandle(write_end.value);
  write_end.value = nullptr;
  std::string output;
  char buffer[512];
  for (DWORD got; ReadFile(read_end.value, buffer, sizeof buffer, &got, nullptr) && got > 0;) {
    output.append(buffer, got);
  }
  WaitForSingleObject(process.hProcess, INFINITE);
  CloseHandle(process.hProcess);
  CloseHandle(process.hThread);
  return output;
}

}  // namespace lumbrel_conformance
