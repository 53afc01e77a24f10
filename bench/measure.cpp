// Runs one command and appends its cost to a result file: wall time, CPU
// time (user + system) and peak resident memory, all taken from the kernel
// for the child alone. Standard input and output are the runner's own, so
// the caller redirects them.
//
//   bench-measure RESULT_FILE COMMAND [ARGS...]
//
// The result line reads "wall_s cpu_s peak_rss_kib exit_status".

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>

namespace {

double Seconds(const timeval& t) {
  return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) / 1e6;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: bench-measure RESULT_FILE COMMAND [ARGS...]\n");
    return 2;
  }
  const auto start = std::chrono::steady_clock::now();
  pid_t child = fork();
  if (child < 0) {
    std::fprintf(stderr, "bench-measure: cannot start %s: %s\n", argv[2], std::strerror(errno));
    return 2;
  }
  if (child == 0) {
    execvp(argv[2], argv + 2);
    std::fprintf(stderr, "bench-measure: cannot run %s: %s\n", argv[2], std::strerror(errno));
    _exit(127);
  }
  int status = 0;
  rusage usage{};
  while (wait4(child, &status, 0, &usage) < 0) {
    if (errno != EINTR) {
      std::fprintf(stderr, "bench-measure: lost %s: %s\n", argv[2], std::strerror(errno));
      return 2;
    }
  }
  const std::chrono::duration<double> wall = std::chrono::steady_clock::now() - start;
  const int exit_status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);

  std::FILE* out = std::fopen(argv[1], "a");
  if (out == nullptr) {
    std::fprintf(stderr, "bench-measure: cannot write %s: %s\n", argv[1], std::strerror(errno));
    return 2;
  }
  std::fprintf(out, "%.4f %.4f %ld %d\n", wall.count(),
               Seconds(usage.ru_utime) + Seconds(usage.ru_stime), usage.ru_maxrss, exit_status);
  return std::fclose(out) == 0 ? 0 : 2;
}
