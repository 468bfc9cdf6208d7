#pragma once

#include <gtest/gtest.h>

#include <memory>

#include "platform/GlfwPlatform.h"
#include "tests/support/Pixel.h"

// A real OpenGL context for tests: a hidden 1024 x 768 GLFW window (Mesa's
// llvmpipe under Xvfb). The registries are emptied before and after each test,
// while the context still exists, so no buffer outlives it.
class GlTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Empties the current camera, the mesh list and the light list.
  static void ClearRegistries();
  // GL_NO_ERROR, or the first error raised since the last call.
  static unsigned TakeGlError();

  std::unique_ptr<TGlfwPlatform> Platform;
};

// The current value of an integer state (glGetIntegerv), -1 if none was written.
int GlInteger(unsigned name);
// The pixel at window pixel (x, y), from the bottom left, of the frame being
// drawn (the back buffer).
TPixel ReadPixel(int x, int y);
