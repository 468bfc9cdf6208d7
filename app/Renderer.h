#pragma once

#include "platform/Platform.h"
#include "scene/RenderRegistry.h"

// Opens the window and draws the world once per frame with the fixed-function
// pipeline, walking the registries it inherits: the current camera, every light
// and every visible mesh, in list order, with no culling or sorting. Its
// COLOR_SCALE is inherited too, so the lights below it share the one factor.
class TRenderer : public TRenderRegistry {
 public:
  // The window size given to Graphics3D; camera control centres the pointer on it.
  static inline int ScreenWidth = 0;
  static inline int ScreenHeight = 0;

  // Opens the width x height window through `platform`, with its context
  // current on this thread and the OpenGL entry points loaded. Sets no OpenGL
  // state. If no window or context can be had, ends the program with a message
  // on standard error and status -1.
  static void Graphics3D(TPlatform& platform, int width, int height);
  // Draws one frame into the back buffer through TRenderRegistry::CurrentCamera.
  static void RenderWorld();
};
