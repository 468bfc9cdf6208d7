#pragma once

#include <string>

// Everything the program needs from the machine besides OpenGL itself. The real
// implementation is TGlfwPlatform; tests drive the frame loop with scripted fakes.
// All calls happen on the main thread.
class TPlatform {
 public:
  // Key codes as the program reads them.
  static constexpr int KEY_ESCAPE = 27;

  virtual ~TPlatform() = default;

  // Opens a windowed, non-resizable width x height window with a double-buffered
  // colour buffer and a depth buffer, makes its OpenGL context current on this
  // thread and loads the OpenGL entry points. On failure returns false and puts
  // the reason in `error`.
  virtual bool OpenWindow(int width, int height, std::string& error) = 0;
  // Hits of `key` since the last call for that key.
  virtual int KeyHits(int key) = 0;
  // Whether the window was asked to close since the last call.
  virtual bool CloseRequested() = 0;
  // Pointer motion in pixels along one axis since the last read of that axis;
  // reading resets it.
  virtual int MouseXMotion() = 0;
  virtual int MouseYMotion() = 0;
  // Moves the pointer to window pixel (x, y); the jump is not reported as motion.
  virtual void MoveMouse(int x, int y) = 0;
  // Starts the periodic frame timer.
  virtual void CreateTimer(double ticksPerSecond) = 0;
  // Blocks until the timer has ticked at least once since the previous wait,
  // processing window events meanwhile.
  virtual void WaitTimer() = 0;
  // Shows the back buffer without waiting for the vertical blank.
  virtual void Flip() = 0;
};
