#pragma once

#include <string>

#include "app/FirstViewWatch.h"
#include "platform/Platform.h"

// The page's index.html?shot: the viewer as voxeltool shot runs it on the
// desktop (its own start-up and frame loop, no mouse), stopped at the same
// frame, the first full view, which then stays on the canvas. The page learns
// that the picture is ready from its title.
class TShotPlatform : public TPlatform {
 public:
  static constexpr const char* READY_TITLE = "voxelview: shot ready";

  explicit TShotPlatform(TPlatform& real) : Real_(real) {}

  bool OpenWindow(int width, int height, std::string& error) override {
    return Real_.OpenWindow(width, height, error);
  }
  int KeyHits(int key) override;
  bool CloseRequested() override;
  int MouseXMotion() override { return 0; }
  int MouseYMotion() override { return 0; }
  void MoveMouse(int, int) override {}
  void CreateTimer(double ticksPerSecond) override { Real_.CreateTimer(ticksPerSecond); }
  // Once the picture is shown, waits until the page ends the program.
  void WaitTimer() override;
  void Flip() override;

 private:
  TPlatform& Real_;
  TFirstViewWatch FirstView_;
  bool Ready_ = false;
  // What ended the wait after the picture, for the frame loop's exit test.
  int PendingEscapes_ = 0;
  bool PendingClose_ = false;
};
