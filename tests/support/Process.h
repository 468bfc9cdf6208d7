#pragma once

#include <string>
#include <vector>

// Runs a program as a child process and collects what it did.
struct TProcessResult {
  int ExitCode = -1;    // exit status 0..255, or -1 if it did not exit normally
  int Signal = 0;       // the signal that ended it, or 0
  bool TimedOut = false;  // killed after the time limit
  double Seconds = 0.0;   // wall time until it ended
  std::string Stdout;
  std::string Stderr;
};

struct TProcessOptions {
  std::string WorkingDirectory;         // empty: the test's own
  double TimeoutSeconds = 60.0;
  std::vector<std::string> Environment;  // extra "NAME=value" entries
};

TProcessResult RunProcess(const std::vector<std::string>& argv, const TProcessOptions& options);
