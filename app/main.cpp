#include "app/mod_main.h"
#include "platform/process.h"

// No arguments are read: the utility takes none.
int main() {
  platform::HardenProcess();
  return modMain::Main();
}
