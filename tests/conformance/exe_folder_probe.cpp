// Prints the folder the platform layer says this program runs from, so that
// a test can copy the program anywhere and compare.

#include <iostream>

#include "platform/error.h"
#include "platform/process.h"

int main() {
  try {
    std::cout << platform::ExecutableFolder() << '\n';
  } catch (const platform::PlatformError& error) {
    std::cout << "error " << error.Number() << ": " << error.Text() << '\n';
  }
  return 0;
}
