#include "platform/only_run.h"

#include <string>

#include "platform/windows/handles.h"
#include "platform/windows/win32.h"
#include "platform/windows/window/main_window_layout.h"
// Needs the system headers above.
#include <sddl.h>

namespace platform {
namespace {

// How long a second copy waits for the first one's window: the first copy
// claims the run a moment before it opens its first question.
constexpr int kWindowWaits = 20;
constexpr DWORD kWindowWait = 100;  // milliseconds

// The user's SID as text ("S-1-5-21-..."), or "" when it cannot be read.
std::wstring UserSid() {
  HANDLE token = nullptr;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) return L"";
  windows::OwnedHandle owned(token);
  DWORD size = 0;
  GetTokenInformation(token, TokenUser, nullptr, 0, &size);
  std::wstring text;
  std::string buffer(size, '\0');
  wchar_t* sid = nullptr;
  if (size > 0 && GetTokenInformation(token, TokenUser, buffer.data(), size, &size) &&
      ConvertSidToStringSidW(reinterpret_cast<TOKEN_USER*>(buffer.data())->User.Sid, &sid)) {
    text = sid;
    LocalFree(sid);
  }
  return text;
}

// The first visible window of the thread that can take input: the question
// the first copy is asking (the main window is hidden or disabled then), or
// the main window itself.
BOOL CALLBACK TakeInputWindow(HWND window, LPARAM found) {
  if (!IsWindowVisible(window) || !IsWindowEnabled(window)) return TRUE;
  *reinterpret_cast<HWND*>(found) = window;
  return FALSE;
}

void BringRunningCopyForward() {
  for (int wait = 0; wait < kWindowWaits; ++wait) {
    HWND main = FindWindowW(windows::layout::kWindowClass, nullptr);
    HWND target = nullptr;
    if (main != nullptr) {
      EnumThreadWindows(GetWindowThreadProcessId(main, nullptr), TakeInputWindow,
                        reinterpret_cast<LPARAM>(&target));
    }
    if (target != nullptr) {
      SetForegroundWindow(target);
      return;
    }
    Sleep(kWindowWait);
  }
}

// A mutex named in this session's namespace after the user (another user's
// copy, even in the same session, is not this one's business), held until
// the process ends.
class Claim {
 public:
  Claim()
      : mutex_(CreateMutexW(nullptr, FALSE, (L"Local\\LumbrelRestore-" + UserSid()).c_str())),
        error_(GetLastError()) {}

  // Whether a running copy holds the name: one that may not be opened is
  // held too.
  bool Taken() const {
    return mutex_.valid() ? error_ == ERROR_ALREADY_EXISTS : error_ == ERROR_ACCESS_DENIED;
  }

 private:
  windows::OwnedHandle mutex_;
  DWORD error_;
};

}  // namespace

bool ClaimOnlyRun() {
  static const Claim claim;
  if (!claim.Taken()) return true;
  BringRunningCopyForward();
  return false;
}

}  // namespace platform
