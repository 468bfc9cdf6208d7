#include "tests/support/Process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <cstring>

extern char** environ;

namespace {

void ReadAvailable(int fd, std::string& into, bool& open) {
  char buffer[65536];
  const ssize_t n = read(fd, buffer, sizeof buffer);
  if (n > 0) {
    into.append(buffer, static_cast<std::size_t>(n));
  } else if (n == 0 || (errno != EINTR && errno != EAGAIN)) {
    open = false;
  }
}

}  // namespace

TProcessResult RunProcess(const std::vector<std::string>& argv, const TProcessOptions& options) {
  TProcessResult result;
  int out[2], err[2];
  if (pipe2(out, O_CLOEXEC) != 0 || pipe2(err, O_CLOEXEC) != 0) return result;

  std::vector<std::string> env;
  for (char** e = environ; *e; ++e) env.emplace_back(*e);
  for (const std::string& extra : options.Environment) env.push_back(extra);
  std::vector<char*> envp, args;
  for (std::string& e : env) envp.push_back(e.data());
  envp.push_back(nullptr);
  std::vector<std::string> argvCopy = argv;
  for (std::string& a : argvCopy) args.push_back(a.data());
  args.push_back(nullptr);

  const auto start = std::chrono::steady_clock::now();
  const pid_t pid = fork();
  if (pid == 0) {
    dup2(out[1], STDOUT_FILENO);
    dup2(err[1], STDERR_FILENO);
    // Its own process group, so a timeout can end everything it started.
    setpgid(0, 0);
    if (!options.WorkingDirectory.empty() && chdir(options.WorkingDirectory.c_str()) != 0) _exit(126);
    execve(args[0], args.data(), envp.data());
    _exit(127);
  }
  close(out[1]);
  close(err[1]);

  bool outOpen = true, errOpen = true;
  while (outOpen || errOpen) {
    const double elapsed =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    if (elapsed > options.TimeoutSeconds) {
      result.TimedOut = true;
      kill(-pid, SIGKILL);
      kill(pid, SIGKILL);
      break;
    }
    pollfd fds[2] = {{out[0], POLLIN, 0}, {err[0], POLLIN, 0}};
    const int ready = poll(fds, 2, 100);
    if (ready <= 0) continue;
    if (outOpen && (fds[0].revents & (POLLIN | POLLHUP | POLLERR))) ReadAvailable(out[0], result.Stdout, outOpen);
    if (errOpen && (fds[1].revents & (POLLIN | POLLHUP | POLLERR))) ReadAvailable(err[0], result.Stderr, errOpen);
  }
  close(out[0]);
  close(err[0]);

  int status = 0;
  while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
  }
  result.Seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  if (WIFEXITED(status)) result.ExitCode = WEXITSTATUS(status);
  if (WIFSIGNALED(status)) result.Signal = WTERMSIG(status);
  return result;
}
