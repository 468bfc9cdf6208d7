#include "browser/ShotPlatform.h"

#include <emscripten/emscripten.h>

int TShotPlatform::KeyHits(int key) {
  if (key == KEY_ESCAPE && PendingEscapes_ != 0) {
    const int hits = PendingEscapes_;
    PendingEscapes_ = 0;
    return hits;
  }
  return Real_.KeyHits(key);
}

bool TShotPlatform::CloseRequested() {
  if (PendingClose_) {
    PendingClose_ = false;
    return true;
  }
  return Real_.CloseRequested();
}

void TShotPlatform::Flip() {
  if (!Ready_ && FirstView_.FrameIsFull()) {
    Ready_ = true;
    emscripten_set_window_title(READY_TITLE);
  }
  Real_.Flip();
}

void TShotPlatform::WaitTimer() {
  Real_.WaitTimer();
  // No frame after the picture: the loop waits here while the browser keeps
  // showing it, until Escape or a close request ends the program (read in the
  // order of the frame loop's exit test).
  while (Ready_) {
    PendingEscapes_ = Real_.KeyHits(KEY_ESCAPE);
    if (PendingEscapes_ != 0) return;
    PendingClose_ = Real_.CloseRequested();
    if (PendingClose_) return;
    Real_.WaitTimer();
  }
}
