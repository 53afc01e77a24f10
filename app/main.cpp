#include "app/mod_main.h"

// No arguments are read: the utility takes none.
int main() {
  return modMain::Run();
}
