#pragma once

#include <sys/types.h>

#include <functional>
#include <string>
#include <vector>

// Input to windows on the test's X display, the way a user's would arrive:
// keys and pointer moves through the XTEST extension, close requests as a
// window manager sends them. Each call opens its own connection, does all of
// its work in it and waits until the server has handled it, so a call never
// leaves a key held down, whatever happens to the window meanwhile. Windows
// are named by their X id in decimal or 0x hex, as tests pass them around.
class TXInput {
 public:
  // The X id of the viewable window titled `title` of process `pid`, searched
  // for until `timeoutSeconds` pass or `keepWaiting` (if given) returns false;
  // empty if none showed up.
  static std::string FindWindow(pid_t pid, const std::string& title, double timeoutSeconds,
                                const std::function<bool()>& keepWaiting = {});
  // Gives `window` the keyboard focus, then presses and releases each key in
  // turn (X keysym names such as "Escape" or "a"). False if a step failed or
  // a key is still down afterwards.
  static bool PressKeys(const std::string& window, const std::vector<std::string>& keys);
  // A window manager's close request (WM_DELETE_WINDOW).
  static bool SendCloseRequest(const std::string& window);
  // Moves the pointer to (x, y) in the window's pixels, or in the screen's.
  static bool MovePointer(const std::string& window, int x, int y);
  static bool MovePointerOnScreen(int x, int y);
  // The keycodes held down on the display, separated by spaces; empty when
  // no key is down.
  static std::string HeldKeys();
};
