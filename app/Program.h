#pragma once

#include "platform/Platform.h"

// The program's body: start-up in its fixed order, then the 60 Hz frame loop
// until Escape is hit or the window is asked to close.
class TProgram {
 public:
  // Start-up, in order. Needs Blocks.lua, Texture.png and AO.png in the working
  // directory (the atlases may be missing; script errors are fatal).
  static void Startup(TPlatform& platform);
  // The exit test made before every frame: Escape first; the close request is
  // read only when there was no Escape hit.
  static bool ExitRequested(TPlatform& platform);
  // One frame's work before presenting: draw, stream, upload, steer.
  static void UpdateFrame(TPlatform& platform);
  // Start-up and the frame loop; returns 0 when the loop ends. Runs at most
  // once per process: a second call returns 0 at once. The caller ends the
  // process without joining the workers.
  static int Run(TPlatform& platform);

  // Frames drawn so far.
  static inline long long FramesDrawn = 0;
};
