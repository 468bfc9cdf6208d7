#pragma once

#include <string>

#include "platform/Platform.h"

struct GLFWwindow;

// The platform over GLFW 3 and GLEW. One per process.
class TGlfwPlatform : public TPlatform {
 public:
  struct TOptions {
    bool Visible = true;       // tests open hidden windows
    bool FreeRunning = false;  // WaitTimer only processes events: no 60 Hz pacing
  };

  TGlfwPlatform();
  explicit TGlfwPlatform(TOptions options);
  ~TGlfwPlatform() override;
  TGlfwPlatform(const TGlfwPlatform&) = delete;
  TGlfwPlatform& operator=(const TGlfwPlatform&) = delete;

  static constexpr const char* WINDOW_TITLE = "voxelview";

  bool OpenWindow(int width, int height, std::string& error) override;
  int KeyHits(int key) override;
  bool CloseRequested() override;
  int MouseXMotion() override;
  int MouseYMotion() override;
  void MoveMouse(int x, int y) override;
  void CreateTimer(double ticksPerSecond) override;
  void WaitTimer() override;
  void Flip() override;

  GLFWwindow* Window() const { return Window_; }

 private:
  static void OnKey(GLFWwindow* window, int key, int scancode, int action, int mods);
  static void OnClose(GLFWwindow* window);
  static void OnEnter(GLFWwindow* window, int entered);
  // Adds the pointer's way since the last sample to the motion, while it is
  // over the window.
  void SamplePointer();

  TOptions Options_;
  GLFWwindow* Window_ = nullptr;
  int EscapeHits_ = 0;
  bool CloseRequested_ = false;
  double CursorX_ = 0.0, CursorY_ = 0.0;  // last known pointer position, window pixels
  double MotionX_ = 0.0, MotionY_ = 0.0;  // unread motion, pixels
  bool Reentered_ = false;                // the next position is a new origin
  double TimerStart_ = 0.0;               // seconds on the GLFW clock
  double TickSeconds_ = 0.0;              // 0 until CreateTimer
  long long TicksSeen_ = 0;               // ticks already consumed by WaitTimer
};
