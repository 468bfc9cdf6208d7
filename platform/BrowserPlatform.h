#pragma once

#include <string>

#include "platform/Platform.h"

// The platform in a browser page (WebAssembly): the canvas "#canvas" with a
// WebGL 2 context, keys and pointer through the page's events, and a 60 Hz
// timer whose wait hands the main thread back to the browser, which presents
// the frame and delivers events meanwhile. One per page.
//
// The pointer turns the view while the canvas holds the pointer lock, which a
// click on the canvas asks for; the lock keeps the pointer in place, so
// MoveMouse has nothing to do. The page asks for the window to close through
// the exported voxelview_request_close (and leaving the page does the same).
class TBrowserPlatform : public TPlatform {
 public:
  static constexpr const char* CANVAS = "#canvas";

  TBrowserPlatform() = default;
  TBrowserPlatform(const TBrowserPlatform&) = delete;
  TBrowserPlatform& operator=(const TBrowserPlatform&) = delete;

  bool OpenWindow(int width, int height, std::string& error) override;
  int KeyHits(int key) override;
  bool CloseRequested() override;
  int MouseXMotion() override;
  int MouseYMotion() override;
  void MoveMouse(int x, int y) override;
  void CreateTimer(double ticksPerSecond) override;
  void WaitTimer() override;
  void Flip() override;

  // The page's close request, as a window's close button gives it.
  static void RequestClose();

 private:
  int EscapeHits_ = 0;
  // The page may ask before the program has made its platform.
  static inline bool CloseRequested_ = false;
  bool Locked_ = false;                   // the canvas holds the pointer lock
  double MotionX_ = 0.0, MotionY_ = 0.0;  // unread motion, CSS pixels
  double TimerStart_ = 0.0;               // ms on the page's clock
  double TickMs_ = 0.0;                   // 0 until CreateTimer
  long long TicksSeen_ = 0;               // ticks already consumed by WaitTimer

  friend struct TBrowserEvents;
};
