#pragma once

#include <string_view>

namespace platform {

// How a run ended; tells scripts and deployment tools what happened.
enum class Ending {
  kSuccess,
  kConsentDeclined,
  kReminderCancelled,
  kCancelConfirmed,
  kInputClosed,
  kNoFixedDrive,
  kNotInstalled,
  kNoneRepaired,
  kError,
  kAlreadyRunning,  // another copy runs for the same user; this one did nothing
};

// "consent-declined", "success", ...
std::string_view EndingName(Ending ending);

// 0 success; 1 the user stopped the run; 2 nothing could be repaired;
// 3 an unhandled error; 4 another copy was running, so this one did nothing.
int ExitStatus(Ending ending);

// Thrown to end the program at once from deep inside a run (a confirmed
// cancel, input that closed). Only the start-up routine catches it. It is
// deliberately not an exception class, so no error suppression swallows it;
// unwinding still releases every object and flushes output.
struct ProgramEnd {
  Ending ending;
};

}  // namespace platform
