#pragma once

#include <cstddef>

// Tells which frame is the viewer's first full view: the first frame drawn
// after every chunk of the start square was visible. A frame is drawn before
// that frame's upload, so the frame being shown holds every chunk of the
// square once all of them were visible at the previous flip. Main thread only.
class TFirstViewWatch {
 public:
  TFirstViewWatch();

  // Called once per frame just before it is shown: whether the frame being
  // shown holds the whole start square.
  bool FrameIsFull();

 private:
  static std::size_t VisibleChunks();

  std::size_t InitialChunkCount_;
  bool AllVisibleAtLastFlip_ = false;
};
