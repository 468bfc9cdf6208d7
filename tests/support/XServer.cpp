#include "tests/support/XServer.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

constexpr const char* kXvfb = "/usr/bin/Xvfb";
constexpr double kStartSeconds = 30.0;

}  // namespace

void TXServer::StartForThisProcess() {
  std::string display, error;
  if (Start(display, error) <= 0) {
    std::fprintf(stderr, "cannot start a virtual X server: %s\n", error.c_str());
    std::_Exit(1);
  }
  setenv("DISPLAY", display.c_str(), 1);
}

pid_t TXServer::Start(std::string& display, std::string& error) {
  // Xvfb picks a free display number itself and writes it to this pipe once
  // it accepts connections, so there is no race for a number and no polling.
  int ready[2];
  if (pipe(ready) != 0) {
    error = std::strerror(errno);
    return -1;
  }
  const pid_t parent = getpid();
  const pid_t pid = fork();
  if (pid == 0) {
    prctl(PR_SET_PDEATHSIG, SIGKILL);
    if (getppid() != parent) _exit(1);  // the test ended before the line above
    close(ready[0]);
    // Its chatter about fonts and keymaps would bury the test's own output.
    const int null = open("/dev/null", O_WRONLY);
    if (null >= 0) {
      dup2(null, STDOUT_FILENO);
      dup2(null, STDERR_FILENO);
    }
    const std::string fd = std::to_string(ready[1]);
    execl(kXvfb, kXvfb, "-displayfd", fd.c_str(), "-screen", "0", "1280x1024x24", "-nolisten",
          "tcp", "-noreset", static_cast<char*>(nullptr));
    _exit(127);
  }
  close(ready[1]);
  if (pid < 0) {
    close(ready[0]);
    error = std::strerror(errno);
    return -1;
  }

  std::string number;
  const auto deadline =
      std::chrono::steady_clock::now() + std::chrono::duration<double>(kStartSeconds);
  while (number.empty() || number.back() != '\n') {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        deadline - std::chrono::steady_clock::now());
    pollfd p = {ready[0], POLLIN, 0};
    if (left.count() <= 0 || poll(&p, 1, static_cast<int>(left.count())) <= 0) break;
    char c;
    if (read(ready[0], &c, 1) != 1) break;  // Xvfb ended without a display
    number += c;
  }
  close(ready[0]);
  if (number.empty() || number.back() != '\n') {
    int status = 0;
    kill(pid, SIGKILL);
    waitpid(pid, &status, 0);
    error = std::string(kXvfb) + " gave no display number" +
            (WIFEXITED(status) ? " (status " + std::to_string(WEXITSTATUS(status)) + ")" : "");
    return -1;
  }
  number.pop_back();
  display = ":" + number;
  return pid;
}
