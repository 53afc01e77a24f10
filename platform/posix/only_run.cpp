#include "platform/only_run.h"

namespace platform {

// Every run goes ahead. A terminal has no window to bring forward, and a run
// is started in a terminal of its own, where its questions are seen; two runs
// at once are already safe, since each names its temporary files after its
// own process and replaces each document in one step.
bool ClaimOnlyRun() {
  return true;
}

}  // namespace platform
