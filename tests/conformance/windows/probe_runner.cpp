#include "platform/windows/handles.h"
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
  HANDLE read = nullptr;
  HANDLE write = nullptr;
  if (!CreatePipe(&read, &write, &inherit, 0)) return "";
  const platform::windows::OwnedHandle read_end(read);
  platform::windows::OwnedHandle write_end(write);
  SetHandleInformation(read_end.get(), HANDLE_FLAG_INHERIT, 0);
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdOutput = write_end.get();
  startup.hStdError = write_end.get();
  PROCESS_INFORMATION process{};
  std::wstring command = L"\"" + target + L"\"";
  std::wstring folder = target.substr(0, target.find_last_of(L'\\'));
  if (!CreateProcessW(target.c_str(), command.data(), nullptr, nullptr, TRUE, 0, nullptr,
                      folder.c_str(), &startup, &process)) {
    return "";
  }
  const platform::windows::OwnedHandle child(process.hProcess);
  const platform::windows::OwnedHandle child_thread(process.hThread);
  write_end.Close();
  std::string output;
  char buffer[512];
  for (DWORD got; ReadFile(read_end.get(), buffer, sizeof buffer, &got, nullptr) && got > 0;) {
    output.append(buffer, got);
  }
  WaitForSingleObject(child.get(), INFINITE);
  return output;
}

}  // namespace lumbrel_conformance
