#include "app/mod_main.h"
#include "platform/only_run.h"
#include "platform/process.h"
#include "platform/program_end.h"

// No arguments are read: the utility takes none.
int main() {
  platform::HardenProcess();
  // A second start while the user's first copy runs only brings that one
  // forward.
  if (!platform::ClaimOnlyRun()) return platform::ExitStatus(platform::Ending::kAlreadyRunning);
  return modMain::Main();
}
