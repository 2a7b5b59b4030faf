#include "tests/support/Process.h"

#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>

ProcessResult RunProcess(const std::vector<std::string>& argv, const std::string& home, int timeoutMs,
                         const std::function<void(int pid)>& whileRunning) {
  ProcessResult result;
  int out[2], err[2];
  if (::pipe(out) != 0 || ::pipe(err) != 0) return result;
  const pid_t pid = ::fork();
  if (pid == 0) {
    ::dup2(out[1], 1);
    ::dup2(err[1], 2);
    ::close(out[0]);
    ::close(err[0]);
    if (!home.empty()) ::setenv("HOME", home.c_str(), 1);
    std::vector<char*> args;
    for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    ::execv(args[0], args.data());
    ::_exit(127);
  }
  ::close(out[1]);
  ::close(err[1]);
  const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  pollfd fds[2] = {{out[0], POLLIN, 0}, {err[0], POLLIN, 0}};
  int open = 2;
  while (open > 0) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(end - std::chrono::steady_clock::now());
    if (left.count() <= 0) {
      ::kill(pid, SIGKILL);
      break;
    }
    if (whileRunning) whileRunning(pid);
    const int waitMs = whileRunning ? std::min<int>(10, static_cast<int>(left.count())) : static_cast<int>(left.count());
    if (::poll(fds, 2, waitMs) <= 0) continue;
    for (int i = 0; i < 2; ++i) {
      if (fds[i].fd < 0 || fds[i].revents == 0) continue;
      char buffer[4096];
      const ssize_t n = ::read(fds[i].fd, buffer, sizeof buffer);
      if (n <= 0) {
        ::close(fds[i].fd);
        fds[i].fd = -1;
        --open;
      } else {
        (i == 0 ? result.out : result.err).append(buffer, static_cast<std::size_t>(n));
      }
    }
  }
  for (pollfd& f : fds) {
    if (f.fd >= 0) ::close(f.fd);
  }
  int status = 0;
  ::waitpid(pid, &status, 0);
  result.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  return result;
}
