#include "platform/program_end.h"

namespace platform {

std::string_view EndingName(Ending ending) {
  switch (ending) {
    case Ending::kSuccess: return "success";
    case Ending::kConsentDeclined: return "consent-declined";
    case Ending::kReminderCancelled: return "reminder-cancelled";
    case Ending::kCancelConfirmed: return "cancel-confirmed";
    case Ending::kInputClosed: return "input-closed";
    case Ending::kNoFixedDrive: return "no-fixed-drive";
    case Ending::kNotInstalled: return "not-installed";
    case Ending::kNoneRepaired: return "none-repaired";
    case Ending::kError: return "error";
    case Ending::kAlreadyRunning: return "already-running";
  }
  return "error";
}

int ExitStatus(Ending ending) {
  switch (ending) {
    case Ending::kSuccess: return 0;
    case Ending::kConsentDeclined:
    case Ending::kReminderCancelled:
    case Ending::kCancelConfirmed:
    case Ending::kInputClosed: return 1;
    case Ending::kNoFixedDrive:
    case Ending::kNotInstalled:
    case Ending::kNoneRepaired: return 2;
    case Ending::kError: return 3;
    case Ending::kAlreadyRunning: return 4;
  }
  return 3;
}

}  // namespace platform
