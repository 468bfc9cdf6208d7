#include "platform/GlfwPlatform.h"

#include <GL/glew.h>
#include <GLFW/glfw3.h>

#include <cmath>
#include <cstdlib>

namespace {

// GLFW reports errors through a callback; keep the last one for OpenWindow's message.
std::string LastGlfwError;

void OnGlfwError(int code, const char* description) {
  LastGlfwError = std::string(description ? description : "unknown error") + " (GLFW error " +
                  std::to_string(code) + ")";
}

TGlfwPlatform* PlatformOf(GLFWwindow* window) {
  return static_cast<TGlfwPlatform*>(glfwGetWindowUserPointer(window));
}

}  // namespace

TGlfwPlatform::TGlfwPlatform() : TGlfwPlatform(TOptions{}) {}

TGlfwPlatform::TGlfwPlatform(TOptions options) : Options_(options) {}

TGlfwPlatform::~TGlfwPlatform() {
  // GLFW, and with it the display connection, stays open until the process
  // ends: closing the display unloads Mesa's driver, which then leaks a small
  // allocation of its own that leak checkers rightly report.
  if (Window_) glfwDestroyWindow(Window_);
}

bool TGlfwPlatform::OpenWindow(int width, int height, std::string& error) {
  glfwSetErrorCallback(OnGlfwError);
  // A no-op when an earlier platform of this process initialised GLFW already.
  if (!glfwInit()) {
    error = "cannot initialise GLFW: " + LastGlfwError;
    return false;
  }
  glfwDefaultWindowHints();
  glfwWindowHint(GLFW_RESIZABLE, GLFW_FALSE);
  glfwWindowHint(GLFW_VISIBLE, Options_.Visible ? GLFW_TRUE : GLFW_FALSE);
  glfwWindowHint(GLFW_DOUBLEBUFFER, GLFW_TRUE);
  glfwWindowHint(GLFW_DEPTH_BITS, 24);
  // No version hints: the fixed-function pipeline needs a compatibility context,
  // which is what GLFW asks for by default.
  Window_ = glfwCreateWindow(width, height, WINDOW_TITLE, nullptr, nullptr);
  if (!Window_) {
    error = "cannot open a " + std::to_string(width) + " x " + std::to_string(height) +
            " OpenGL window: " + LastGlfwError;
    return false;
  }
  glfwMakeContextCurrent(Window_);
  const GLenum glewStatus = glewInit();
  if (glewStatus != GLEW_OK) {
    error = std::string("cannot load the OpenGL entry points: ") +
            reinterpret_cast<const char*>(glewGetErrorString(glewStatus));
    return false;
  }
  glfwSwapInterval(0);
  glfwSetWindowUserPointer(Window_, this);
  glfwSetKeyCallback(Window_, OnKey);
  glfwSetWindowCloseCallback(Window_, OnClose);
  glfwSetCursorEnterCallback(Window_, OnEnter);
  glfwGetCursorPos(Window_, &CursorX_, &CursorY_);
  return true;
}

void TGlfwPlatform::OnKey(GLFWwindow* window, int key, int, int action, int) {
  if (key == GLFW_KEY_ESCAPE && action == GLFW_PRESS) ++PlatformOf(window)->EscapeHits_;
}

void TGlfwPlatform::OnClose(GLFWwindow* window) {
  // The program decides when to end; the window stays until then.
  glfwSetWindowShouldClose(window, GLFW_FALSE);
  PlatformOf(window)->CloseRequested_ = true;
}

void TGlfwPlatform::OnEnter(GLFWwindow* window, int entered) {
  // The pointer came in from outside (or the window was mapped under it): its
  // first position inside is a new origin, not motion.
  if (entered) PlatformOf(window)->Reentered_ = true;
}

void TGlfwPlatform::SamplePointer() {
  // Motion is measured from where the pointer is after each round of events,
  // not from GLFW's motion events: GLFW drops an event that ends where the
  // previous one did, even when a warp moved the pointer in between, and the
  // viewer warps it back to the same place every frame, so a steady turn would
  // count only once.
  if (!Window_ || !glfwGetWindowAttrib(Window_, GLFW_HOVERED)) return;
  double x = 0.0, y = 0.0;
  glfwGetCursorPos(Window_, &x, &y);
  if (!Reentered_) {
    MotionX_ += x - CursorX_;
    MotionY_ += y - CursorY_;
  }
  Reentered_ = false;
  CursorX_ = x;
  CursorY_ = y;
}

int TGlfwPlatform::KeyHits(int key) {
  if (key != KEY_ESCAPE) return 0;
  const int hits = EscapeHits_;
  EscapeHits_ = 0;
  return hits;
}

bool TGlfwPlatform::CloseRequested() {
  const bool requested = CloseRequested_;
  CloseRequested_ = false;
  return requested;
}

int TGlfwPlatform::MouseXMotion() {
  const int whole = static_cast<int>(MotionX_);
  MotionX_ -= whole;  // keep sub-pixel motion for the next read
  return whole;
}

int TGlfwPlatform::MouseYMotion() {
  const int whole = static_cast<int>(MotionY_);
  MotionY_ -= whole;
  return whole;
}

void TGlfwPlatform::MoveMouse(int x, int y) {
  if (!Window_) return;
  glfwSetCursorPos(Window_, x, y);
  // The new origin is where the pointer is now: GLFW leaves it alone while the
  // window does not have the focus.
  glfwGetCursorPos(Window_, &CursorX_, &CursorY_);
}

void TGlfwPlatform::CreateTimer(double ticksPerSecond) {
  TickSeconds_ = 1.0 / ticksPerSecond;
  TimerStart_ = glfwGetTime();
  TicksSeen_ = 0;
}

void TGlfwPlatform::WaitTimer() {
  if (Options_.FreeRunning || TickSeconds_ <= 0.0) {
    glfwPollEvents();
    SamplePointer();
    return;
  }
  // Ticks lie on a fixed grid from CreateTimer; a frame that overran returns at
  // once, and missed ticks are not made up.
  for (;;) {
    const double elapsed = glfwGetTime() - TimerStart_;
    const long long ticks = static_cast<long long>(std::floor(elapsed / TickSeconds_));
    if (ticks > TicksSeen_) {
      glfwPollEvents();
      SamplePointer();
      TicksSeen_ = ticks;
      return;
    }
    glfwWaitEventsTimeout(static_cast<double>(TicksSeen_ + 1) * TickSeconds_ - elapsed);
  }
}

void TGlfwPlatform::Flip() {
  if (Window_) glfwSwapBuffers(Window_);
}
