#include "tests/support/Process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>

extern char** environ;

namespace {

void ReadAvailable(int& fd, std::string& into) {
  char buffer[65536];
  const ssize_t n = read(fd, buffer, sizeof buffer);
  if (n > 0) {
    into.append(buffer, static_cast<std::size_t>(n));
  } else if (n == 0 || (errno != EINTR && errno != EAGAIN)) {
    close(fd);
    fd = -1;
  }
}

}  // namespace

std::string TProcessResult::Describe() const {
  std::string how = TimedOut ? "killed after the time limit"
                    : Signal ? "signal " + std::to_string(Signal)
                             : "status " + std::to_string(ExitCode);
  return how + ", standard error: \"" + Stderr + "\"";
}

TChildProcess::~TChildProcess() {
  if (Pid_ > 0) {
    kill(-Pid_, SIGKILL);
    kill(Pid_, SIGKILL);
    waitpid(Pid_, nullptr, 0);
  }
  if (Out_ >= 0) close(Out_);
  if (Err_ >= 0) close(Err_);
}

bool TChildProcess::Start(const std::vector<std::string>& argv, const TProcessOptions& options) {
  int out[2], err[2];
  if (pipe2(out, O_CLOEXEC) != 0) return false;
  if (pipe2(err, O_CLOEXEC) != 0) {
    close(out[0]);
    close(out[1]);
    return false;
  }
  // Extra entries replace inherited ones of the same name.
  std::vector<std::string> env;
  auto name = [](const std::string& entry) { return entry.substr(0, entry.find('=')); };
  for (char** e = environ; *e; ++e) {
    const std::string entry = *e;
    bool replaced = false;
    for (const std::string& extra : options.Environment) replaced |= name(extra) == name(entry);
    if (!replaced) env.push_back(entry);
  }
  for (const std::string& extra : options.Environment) env.push_back(extra);
  std::vector<char*> envp, args;
  for (std::string& e : env) envp.push_back(e.data());
  envp.push_back(nullptr);
  std::vector<std::string> argvCopy = argv;
  for (std::string& a : argvCopy) args.push_back(a.data());
  args.push_back(nullptr);

  Started_ = std::chrono::steady_clock::now();
  Pid_ = fork();
  if (Pid_ == 0) {
    dup2(out[1], STDOUT_FILENO);
    dup2(err[1], STDERR_FILENO);
    setpgid(0, 0);
    if (!options.WorkingDirectory.empty() && chdir(options.WorkingDirectory.c_str()) != 0)
      _exit(126);
    execve(args[0], args.data(), envp.data());
    _exit(127);
  }
  close(out[1]);
  close(err[1]);
  Out_ = out[0];
  Err_ = err[0];
  return Pid_ > 0;
}

void TChildProcess::ReadOutput(int milliseconds) {
  pollfd fds[2] = {{Out_, POLLIN, 0}, {Err_, POLLIN, 0}};
  if (poll(fds, 2, milliseconds) > 0) {
    if (Out_ >= 0 && fds[0].revents) ReadAvailable(Out_, Stdout_);
    if (Err_ >= 0 && fds[1].revents) ReadAvailable(Err_, Stderr_);
  }
}

std::optional<TProcessResult> TChildProcess::Reap(int options) {
  if (Pid_ <= 0) return std::nullopt;
  int status = 0;
  rusage usage{};
  // The child may leave descendants holding the pipes: its own end decides.
  if (wait4(Pid_, &status, options, &usage) != Pid_) return std::nullopt;
  TProcessResult result;
  result.Seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - Started_).count();
  result.MaxResidentKb = usage.ru_maxrss;
  // Whatever is still buffered in the pipes.
  for (int* fd : {&Out_, &Err_}) {
    std::string& into = fd == &Out_ ? Stdout_ : Stderr_;
    while (*fd >= 0) {
      pollfd p = {*fd, POLLIN, 0};
      if (poll(&p, 1, 0) <= 0) break;
      ReadAvailable(*fd, into);
    }
  }
  if (WIFEXITED(status)) result.ExitCode = WEXITSTATUS(status);
  if (WIFSIGNALED(status)) result.Signal = WTERMSIG(status);
  result.TimedOut = TimedOut_;
  result.Stdout = std::move(Stdout_);
  result.Stderr = std::move(Stderr_);
  Pid_ = -1;
  return result;
}

TProcessResult TChildProcess::Wait(double timeoutSeconds) {
  if (Pid_ <= 0) return {};
  const auto deadline =
      std::chrono::steady_clock::now() + std::chrono::duration<double>(timeoutSeconds);
  for (;;) {
    if (!TimedOut_ && std::chrono::steady_clock::now() > deadline) {
      TimedOut_ = true;
      kill(-Pid_, SIGKILL);
      kill(Pid_, SIGKILL);
    }
    ReadOutput(20);
    if (auto result = Reap(WNOHANG)) return *result;
  }
}

std::optional<TProcessResult> TChildProcess::Poll() {
  ReadOutput(0);
  return Reap(WNOHANG);
}

TProcessResult RunProcess(const std::vector<std::string>& argv, const TProcessOptions& options) {
  TChildProcess child;
  if (!child.Start(argv, options)) return {};
  return child.Wait(options.TimeoutSeconds);
}

void ExpectOneLineFailure(const TProcessResult& result, int status, const std::string& message,
                          bool whole) {
  EXPECT_EQ(result.ExitCode, status) << result.Stderr;
  if (whole) {
    EXPECT_EQ(result.Stderr, message);
  } else {
    EXPECT_EQ(result.Stderr.rfind(message, 0), 0u) << result.Stderr;
    EXPECT_EQ(std::count(result.Stderr.begin(), result.Stderr.end(), '\n'), 1) << result.Stderr;
  }
}
