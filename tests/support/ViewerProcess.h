#pragma once

#include <sys/types.h>

#include <optional>
#include <string>

#include "tests/support/Process.h"

// voxelview as a user runs it, in a given working directory under the test's
// own X display, with the means to find its window and send it input.
class TViewerProcess {
 public:
  // False if the program could not be started. `program` may be another way
  // to start the viewer (the installed launcher).
  bool Start(const std::string& workingDirectory, const std::string& program = VX_VOXELVIEW);
  // The X id of the viewer's window once it is mapped. Empty if it is not
  // mapped within `timeoutSeconds`, or at once, with a test failure that says
  // how it ended, if the viewer ends first.
  std::string WaitForWindow(double timeoutSeconds = 30.0);
  // While the viewer should be running: false as long as it is, otherwise a
  // test failure with its exit status or signal and its standard error, and
  // true, so the caller can stop at once instead of waiting for a deadline.
  bool EndedEarly();
  // Gives the window the focus and types Escape into it (see TXInput).
  static bool PressEscape(const std::string& window);
  // A window manager's close request (WM_DELETE_WINDOW). False if not sent.
  static bool SendCloseRequest(const std::string& window);
  // Collects the output until the viewer ends or the time is up (then it is killed).
  TProcessResult Wait(double timeoutSeconds);
  pid_t Pid() const { return Pid_; }

  // The number of chunk worker threads (told apart by their nice value) that
  // are running or waiting for a core right now; 0 once the process is gone.
  static int BusyWorkers(pid_t pid);
  // Whether the main thread of process `pid` has ended (the program called
  // exit), though other threads may still be on their way out.
  static bool MainThreadEnded(pid_t pid);
  // True while any process of the group `pgid` exists.
  static bool GroupExists(pid_t pgid);

 private:
  TChildProcess Child_;
  pid_t Pid_ = -1;
  std::optional<TProcessResult> Ended_;  // how it ended, once seen by EndedEarly
};
