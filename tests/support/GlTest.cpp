#include "tests/support/GlTest.h"

#include <GL/glew.h>

#include <cstdint>
#include <string>

#include "scene/RenderRegistry.h"

void GlTest::SetUp() {
  ClearRegistries();
  TGlfwPlatform::TOptions options;
  options.Visible = false;
  Platform = std::make_unique<TGlfwPlatform>(options);
  std::string error;
  ASSERT_TRUE(Platform->OpenWindow(1024, 768, error)) << error;
  TakeGlError();
}

void GlTest::TearDown() {
  ClearRegistries();
  Platform.reset();
}

void GlTest::ClearRegistries() {
  TRenderRegistry::MeshList.clear();
  TRenderRegistry::LightList.clear();
  TRenderRegistry::CurrentCamera.reset();
}

unsigned GlTest::TakeGlError() {
  const GLenum first = glGetError();
  while (glGetError() != GL_NO_ERROR) {
  }
  return first;
}

int GlInteger(unsigned name) {
  GLint value = -1;
  glGetIntegerv(name, &value);
  return value;
}

TPixel ReadPixel(int x, int y) {
  std::uint8_t rgba[4] = {};
  glReadBuffer(GL_BACK);
  glReadPixels(x, y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, rgba);
  return {rgba[0], rgba[1], rgba[2], rgba[3]};
}
