#pragma once

#include <sys/types.h>

#include <string>

#include "tests/support/Process.h"

// voxelview as a user runs it, in a given working directory under the test's
// X display, with the means to find its window and send it input.
class TViewerProcess {
 public:
  // False if the program could not be started.
  bool Start(const std::string& workingDirectory);
  // The X id of the viewer's window once it is mapped; empty if it is not
  // within `timeoutSeconds`. Found by process id: other tests may run viewers
  // on the same display.
  std::string WaitForWindow(double timeoutSeconds = 30.0) const;
  // The X id of the visible window named "voxelview" of process `pid`, searched
  // for until `timeoutSeconds` pass; empty if none showed up.
  static std::string FindWindow(pid_t pid, double timeoutSeconds);
  // Focuses the window, then types Escape into it (xdotool sends keys to the
  // focused window through XTEST). False if xdotool failed.
  static bool PressEscape(const std::string& window);
  // A window manager's close request (WM_DELETE_WINDOW). False if not sent.
  static bool SendCloseRequest(const std::string& window);
  // Collects the output until the viewer ends or the time is up (then it is killed).
  TProcessResult Wait(double timeoutSeconds) { return Child_.Wait(timeoutSeconds); }
  pid_t Pid() const { return Child_.Pid(); }

  // The number of chunk worker threads (told apart by their nice value) that
  // are running or waiting for a core right now; 0 once the process is gone.
  static int BusyWorkers(pid_t pid);
  // True while any process of the group `pgid` exists.
  static bool GroupExists(pid_t pgid);

 private:
  TChildProcess Child_;
};
