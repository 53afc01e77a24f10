#include "platform/keep_alive.h"

#include <utility>

namespace platform {
namespace {

using Clock = std::chrono::steady_clock;

std::function<void()> callback;
Clock::duration interval = kKeepAliveInterval;
Clock::time_point last_run;

}  // namespace

void SetKeepAlive(std::function<void()> new_callback) {
  callback = std::move(new_callback);
  last_run = Clock::now();
}

void SetKeepAliveInterval(Clock::duration new_interval) {
  interval = new_interval;
}

void KeepAlive() {
  if (!callback || Clock::now() - last_run < interval) return;
  callback();
  // Counted from the end of the run: a slow repaint does not eat the work's
  // share of the next interval.
  last_run = Clock::now();
}

}  // namespace platform
