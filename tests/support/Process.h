#pragma once

#include <sys/types.h>

#include <chrono>
#include <optional>
#include <string>
#include <vector>

// Runs a program as a child process and collects what it did.
struct TProcessResult {
  int ExitCode = -1;       // exit status 0..255, or -1 if it did not exit normally
  int Signal = 0;          // the signal that ended it, or 0
  bool TimedOut = false;   // killed after the time limit
  double Seconds = 0.0;    // wall time from start until it ended
  long MaxResidentKb = 0;  // peak resident memory of the child itself, in KiB
  std::string Stdout;
  std::string Stderr;

  // "status 255", "signal 11" or "killed after the time limit", then the
  // standard error: what a failure message needs to say why a program ended.
  std::string Describe() const;
};

struct TProcessOptions {
  std::string WorkingDirectory;          // empty: the test's own
  double TimeoutSeconds = 60.0;          // for RunProcess
  std::vector<std::string> Environment;  // extra "NAME=value" entries
};

// A child running in the background, in a process group of its own.
class TChildProcess {
 public:
  TChildProcess() = default;
  ~TChildProcess();  // kills the child's group if it still runs
  TChildProcess(const TChildProcess&) = delete;
  TChildProcess& operator=(const TChildProcess&) = delete;

  // False if the program could not be started.
  bool Start(const std::vector<std::string>& argv, const TProcessOptions& options);
  // Collects output until the child ends or `timeoutSeconds` pass (then it is killed).
  TProcessResult Wait(double timeoutSeconds);
  // Without waiting: the result if the child has ended, nothing while it runs.
  // The output read so far is kept for the result either way.
  std::optional<TProcessResult> Poll();
  pid_t Pid() const { return Pid_; }

 private:
  // Reads what the pipes hold, waiting up to `milliseconds` for something.
  void ReadOutput(int milliseconds);
  // The result once the child has ended (reaped), nothing while it runs.
  std::optional<TProcessResult> Reap(int options);

  pid_t Pid_ = -1;
  int Out_ = -1;
  int Err_ = -1;
  std::string Stdout_;
  std::string Stderr_;
  bool TimedOut_ = false;
  std::chrono::steady_clock::time_point Started_;
};

TProcessResult RunProcess(const std::vector<std::string>& argv, const TProcessOptions& options);

// Checks a program's refusal or failure: exit status `status`, and standard
// error exactly `message` (`whole`) or one line that starts with it.
void ExpectOneLineFailure(const TProcessResult& result, int status, const std::string& message,
                          bool whole = false);
