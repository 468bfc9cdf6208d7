#pragma once

#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "platform/GlfwPlatform.h"
#include "platform/Platform.h"

// A platform whose input is a script, for driving the program's frame loop in
// tests. The window and context are real (a hidden GLFW window), so OpenGL
// works; the timer does not wait. Everything the program asks is recorded.
class TScriptedPlatform : public TPlatform {
 public:
  // Per poll, in order; once a script runs out it answers 0 / false.
  std::deque<int> EscapeHits;
  std::deque<bool> CloseRequests;
  // Per read of that axis.
  std::deque<int> MouseX;
  std::deque<int> MouseY;
  // Called at each Flip, before the frame is shown (the back buffer is readable).
  std::function<void()> OnFlip;

  int KeyPolls = 0;
  int ClosePolls = 0;
  int Flips = 0;
  int Waits = 0;
  double TimerRate = 0.0;
  std::vector<std::pair<int, int>> PointerMoves;
  bool WindowOpened = false;

  bool OpenWindow(int width, int height, std::string& error) override {
    TGlfwPlatform::TOptions options;
    options.Visible = false;
    options.FreeRunning = true;
    Real_ = std::make_unique<TGlfwPlatform>(options);
    WindowOpened = Real_->OpenWindow(width, height, error);
    return WindowOpened;
  }
  int KeyHits(int key) override {
    ++KeyPolls;
    return key == KEY_ESCAPE ? Pop(EscapeHits, 0) : 0;
  }
  bool CloseRequested() override {
    ++ClosePolls;
    return Pop(CloseRequests, false);
  }
  int MouseXMotion() override { return Pop(MouseX, 0); }
  int MouseYMotion() override { return Pop(MouseY, 0); }
  void MoveMouse(int x, int y) override { PointerMoves.emplace_back(x, y); }
  void CreateTimer(double ticksPerSecond) override { TimerRate = ticksPerSecond; }
  void WaitTimer() override { ++Waits; }
  void Flip() override {
    ++Flips;
    if (OnFlip) OnFlip();
    if (Real_) Real_->Flip();
  }

 private:
  template <typename T>
  static T Pop(std::deque<T>& script, T otherwise) {
    if (script.empty()) return otherwise;
    const T value = script.front();
    script.pop_front();
    return value;
  }

  std::unique_ptr<TGlfwPlatform> Real_;
};
