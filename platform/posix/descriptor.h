#pragma once

// The one owner of a file descriptor in the Linux back-end: it closes the
// descriptor when it goes.

#include <unistd.h>

#include <utility>

namespace platform::posix {

class Descriptor {
 public:
  // Holds nothing for a negative fd, what a failed open gives.
  Descriptor() = default;
  explicit Descriptor(int fd) : fd_(fd) {}
  ~Descriptor() {
    if (fd_ >= 0) close(fd_);
  }
  Descriptor(Descriptor&& other) noexcept : fd_(other.Release()) {}
  Descriptor& operator=(Descriptor&& other) noexcept {
    if (this != &other) {
      if (fd_ >= 0) close(fd_);
      fd_ = other.Release();
    }
    return *this;
  }

  int Get() const { return fd_; }
  // Hands the descriptor over; nothing is closed.
  int Release() { return std::exchange(fd_, -1); }
  // Closes now, reporting the error a delayed write may only show here.
  int Close() { return close(std::exchange(fd_, -1)); }

 private:
  int fd_ = -1;
};

}  // namespace platform::posix
