#pragma once

// The host installed at its default place, "C:\Program Files\Quarnel", for as
// long as the object lives. Only one test at a time may hold it: the place is
// shared by every test program that runs in the prefix.

#include <string>
#include <vector>

namespace lumbrel_test {

inline constexpr char kDefaultFolder[] = "C:\\Program Files\\Quarnel";

class DefaultInstallation {
 public:
  // The executable, the package entry (a folder) and a document folder
  // holding "Lumbrel.qdoc" with the text "old".
  DefaultInstallation();
  ~DefaultInstallation();
  DefaultInstallation(const DefaultInstallation&) = delete;
  DefaultInstallation& operator=(const DefaultInstallation&) = delete;

  // Names in "Packages\My Documents", sorted; the content of one of them.
  std::vector<std::string> Documents() const;
  std::string Document(const std::string& name) const;
};

// True while anything is at the default place (a run's leftover would change
// what the driver asks).
bool DefaultInstallationPresent();

}  // namespace lumbrel_test
