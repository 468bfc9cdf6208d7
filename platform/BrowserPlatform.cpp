#include "platform/BrowserPlatform.h"

#include <emscripten/emscripten.h>
#include <emscripten/html5.h>

#include <algorithm>
#include <cmath>
#include <cstring>

// The page's event handlers, as html5.h calls them: on the main thread, from
// the browser's own event dispatch (so a click may ask for the pointer lock).
struct TBrowserEvents {
  static EM_BOOL OnKeyDown(int, const EmscriptenKeyboardEvent* event, void* data) {
    auto* platform = static_cast<TBrowserPlatform*>(data);
    // A key held down repeats; a hit is a press.
    if (std::strcmp(event->key, "Escape") == 0 && !event->repeat) ++platform->EscapeHits_;
    return EM_FALSE;
  }

  static EM_BOOL OnClick(int, const EmscriptenMouseEvent*, void* data) {
    if (!static_cast<TBrowserPlatform*>(data)->Locked_)
      emscripten_request_pointerlock(TBrowserPlatform::CANVAS, EM_FALSE);
    return EM_FALSE;
  }

  static EM_BOOL OnMouseMove(int, const EmscriptenMouseEvent* event, void* data) {
    auto* platform = static_cast<TBrowserPlatform*>(data);
    if (platform->Locked_) {
      platform->MotionX_ += static_cast<double>(event->movementX);
      platform->MotionY_ += static_cast<double>(event->movementY);
    }
    return EM_FALSE;
  }

  static EM_BOOL OnPointerLockChange(int, const EmscriptenPointerlockChangeEvent* event,
                                     void* data) {
    static_cast<TBrowserPlatform*>(data)->Locked_ = event->isActive != 0;
    return EM_FALSE;
  }

  static const char* OnBeforeUnload(int, const void*, void*) {
    TBrowserPlatform::RequestClose();
    return nullptr;  // no "leave this page?" question
  }
};

extern "C" EMSCRIPTEN_KEEPALIVE void voxelview_request_close() {
  TBrowserPlatform::RequestClose();
}

void TBrowserPlatform::RequestClose() {
  CloseRequested_ = true;
}

bool TBrowserPlatform::OpenWindow(int width, int height, std::string& error) {
  if (emscripten_set_canvas_element_size(CANVAS, width, height) != EMSCRIPTEN_RESULT_SUCCESS) {
    error = std::string("cannot find the canvas ") + CANVAS;
    return false;
  }
  EmscriptenWebGLContextAttributes attributes;
  emscripten_webgl_init_context_attributes(&attributes);
  attributes.majorVersion = 2;
  attributes.minorVersion = 0;
  attributes.depth = EM_TRUE;
  attributes.stencil = EM_FALSE;
  // The desktop window has neither: no smoothing of edges, no alpha to blend
  // with the page.
  attributes.antialias = EM_FALSE;
  attributes.alpha = EM_FALSE;
  const EMSCRIPTEN_WEBGL_CONTEXT_HANDLE context = emscripten_webgl_create_context(CANVAS, &attributes);
  if (context <= 0) {
    error = "cannot open a " + std::to_string(width) + " x " + std::to_string(height) +
            " WebGL 2 canvas: this browser gives the page no WebGL 2";
    return false;
  }
  emscripten_webgl_make_context_current(context);
  emscripten_set_keydown_callback(EMSCRIPTEN_EVENT_TARGET_WINDOW, this, EM_FALSE,
                                  TBrowserEvents::OnKeyDown);
  emscripten_set_click_callback(CANVAS, this, EM_FALSE, TBrowserEvents::OnClick);
  emscripten_set_mousemove_callback(CANVAS, this, EM_FALSE, TBrowserEvents::OnMouseMove);
  emscripten_set_pointerlockchange_callback(EMSCRIPTEN_EVENT_TARGET_DOCUMENT, this, EM_FALSE,
                                            TBrowserEvents::OnPointerLockChange);
  emscripten_set_beforeunload_callback(this, TBrowserEvents::OnBeforeUnload);
  return true;
}

int TBrowserPlatform::KeyHits(int key) {
  if (key != KEY_ESCAPE) return 0;
  const int hits = EscapeHits_;
  EscapeHits_ = 0;
  return hits;
}

bool TBrowserPlatform::CloseRequested() {
  const bool requested = CloseRequested_;
  CloseRequested_ = false;
  return requested;
}

int TBrowserPlatform::MouseXMotion() {
  const int whole = static_cast<int>(MotionX_);
  MotionX_ -= whole;
  return whole;
}

int TBrowserPlatform::MouseYMotion() {
  const int whole = static_cast<int>(MotionY_);
  MotionY_ -= whole;
  return whole;
}

void TBrowserPlatform::MoveMouse(int, int) {}

void TBrowserPlatform::CreateTimer(double ticksPerSecond) {
  TickMs_ = 1000.0 / ticksPerSecond;
  TimerStart_ = emscripten_get_now();
  TicksSeen_ = 0;
}

void TBrowserPlatform::WaitTimer() {
  // Ticks lie on a fixed grid from CreateTimer; a frame that overran still
  // yields once, so the browser shows it and delivers events, and missed ticks
  // are not made up.
  const double next = TimerStart_ + static_cast<double>(TicksSeen_ + 1) * TickMs_;
  double now = emscripten_get_now();
  do {
    emscripten_sleep(static_cast<unsigned>(std::max(0.0, std::ceil(next - now))));
    now = emscripten_get_now();
  } while (TickMs_ > 0.0 && now < next);
  if (TickMs_ > 0.0) TicksSeen_ = static_cast<long long>(std::floor((now - TimerStart_) / TickMs_));
}

void TBrowserPlatform::Flip() {
  // The browser presents the canvas when WaitTimer hands it the thread.
}
