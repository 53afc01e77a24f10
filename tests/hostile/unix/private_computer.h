#pragma once

// A computer of a test's own: a Wine-style prefix in a new temporary folder
// whose one drive H: is a fixed disk, so a whole-drive search sees nothing
// but what the test put there. It is this process's prefix while the object
// lives; the previous one comes back afterwards.

#include <string>

namespace hostile {

class PrivateComputer {
 public:
  PrivateComputer();
  ~PrivateComputer();
  PrivateComputer(const PrivateComputer&) = delete;
  PrivateComputer& operator=(const PrivateComputer&) = delete;

  // The host path of "H:\" + relative, where `relative` separates with '/'
  // and may hold any byte but NUL.
  std::string Host(const std::string& relative = "") const;
  // Makes the folder (parents too) and returns its host path.
  std::string MakeFolder(const std::string& relative) const;
  void MakeFile(const std::string& relative, const std::string& content) const;
  std::string ReadFile(const std::string& relative) const;  // "<missing>" when absent
  // The entries of the folder, sorted, each followed by ';'.
  std::string Names(const std::string& relative) const;
  const std::string& Prefix() const { return prefix_; }

 private:
  std::string prefix_;
  std::string saved_prefix_;
  bool had_prefix_ = false;
};

}  // namespace hostile
