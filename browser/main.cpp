// The viewer in a browser page: the desktop program's start-up and frame loop
// over the browser's platform. The page (browser/index.html) puts the data files
// in the working directory before this runs, and asks for index.html?shot by
// setting Module.shot.
#include <emscripten/emscripten.h>

#include <cstdio>
#include <cstdlib>

#include "app/CameraControl.h"
#include "app/Program.h"
#include "platform/BrowserPlatform.h"
#include "browser/ShotPlatform.h"

EM_JS(int, ShotRequested, (), { return Module["shot"] ? 1 : 0; });

// What the page's tests and measurements read of the running program.
extern "C" {
EMSCRIPTEN_KEEPALIVE int voxelview_camera_yaw() {
  return CameraYaw;
}
EMSCRIPTEN_KEEPALIVE int voxelview_camera_pitch() {
  return CameraPitch;
}
EMSCRIPTEN_KEEPALIVE int voxelview_pending_chunks() {
  return PendingChunks;
}
EMSCRIPTEN_KEEPALIVE double voxelview_frames_drawn() {
  return static_cast<double>(TProgram::FramesDrawn);
}
}

int main() {
  static bool entered = false;
  if (entered) return 0;
  entered = true;
  TBrowserPlatform browser;
  int status = 0;
  if (ShotRequested()) {
    TShotPlatform shot(browser);
    status = TProgram::Run(shot);
  } else {
    status = TProgram::Run(browser);
  }
  // As on the desktop: the workers are neither stopped nor joined; the page
  // learns the status from the runtime's exit.
  std::fflush(stdout);
  std::fflush(stderr);
  std::_Exit(status);
}
