#include "tests/hostile/unix/child_process.h"

#include <grp.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <string>

#include "platform/error.h"

namespace hostile {

std::string InChild(const std::function<std::string()>& body) {
  int channel[2];
  if (pipe(channel) != 0) return "<no pipe>";
  std::fflush(nullptr);
  const pid_t pid = fork();
  if (pid < 0) return "<no fork>";
  if (pid == 0) {
    close(channel[0]);
    std::string result;
    try {
      result = body();
    } catch (const std::exception& error) {
      result = std::string("<exception> ") + error.what();
    }
    for (size_t at = 0; at < result.size();) {
      const ssize_t written = write(channel[1], result.data() + at, result.size() - at);
      if (written <= 0) break;
      at += static_cast<size_t>(written);
    }
    _exit(0);
  }
  close(channel[1]);
  std::string result;
  char buffer[4096];
  for (ssize_t got; (got = read(channel[0], buffer, sizeof buffer)) > 0;) {
    result.append(buffer, static_cast<size_t>(got));
  }
  close(channel[0]);
  const int status = WaitChild(pid);
  if (status < 0) return "<killed by signal " + std::to_string(-status) + ">";
  if (status > 0) return "<exited " + std::to_string(status) + ">";
  return result;
}

int StartChild(const std::function<void()>& body) {
  std::fflush(nullptr);
  const pid_t pid = fork();
  if (pid == 0) {
    body();
    _exit(0);
  }
  return pid;
}

int WaitChild(int pid) {
  int status = 0;
  if (waitpid(pid, &status, 0) != pid) return 255;
  return WIFSIGNALED(status) ? -WTERMSIG(status) : WEXITSTATUS(status);
}

bool DropToNobody() {
  constexpr uid_t kNobody = 65534;
  return setgroups(0, nullptr) == 0 && setresgid(kNobody, kNobody, kNobody) == 0 &&
         setresuid(kNobody, kNobody, kNobody) == 0 && geteuid() == kNobody;
}

std::string Raised(const std::function<void()>& call) {
  try {
    call();
  } catch (const platform::PlatformError& error) {
    return std::to_string(error.Number()) + " " + error.Text();
  }
  return "no error";
}

}  // namespace hostile
