#pragma once

#include <sys/types.h>

#include <string>

// A virtual X server (Xvfb, 1280 x 1024 x 24, with GLX through Mesa) that
// belongs to one test process. Tests never use the caller's display: a
// desktop must not get test windows, pointer moves or key presses, and tests
// running side by side must not share a focus or overlap their windows.
class TXServer {
 public:
  // Starts the server and points DISPLAY of this process (and so of every
  // program it starts) at it. Ends the process with a message if the server
  // cannot start: no test of the program could run without it.
  static void StartForThisProcess();

 private:
  // The server dies with the process that started it, however that process
  // ends (the test programs end with _Exit, or are killed on a timeout).
  static pid_t Start(std::string& display, std::string& error);
};
