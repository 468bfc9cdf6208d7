#include <GL/glew.h>
#include <gtest/gtest.h>

#include <cstdint>

#include "platform/fixedgl/FixedFunctionGl.h"
#include "tests/platform/MesaGl.h"
#include "tests/support/GlTest.h"

namespace {

// Calls that OpenGL refuses with an error, leaving its state as it was.
enum class TCall {
  SpotCutoffOutOfRange,
  SpotExponentOutOfRange,
  NegativeAttenuation,
  LightBeyondTheLast,
  UnknownFogMode,
  UnmapWithoutMapping,
  MapTwice,
  MapWithoutBuffer,
  BufferDataWithoutUsage,
};

struct TErrorCase {
  const char* Name;
  TCall Call;
  GLenum Error;
};

const TErrorCase kCases[] = {
    {"spot cutoff 91", TCall::SpotCutoffOutOfRange, GL_INVALID_VALUE},
    {"spot exponent 129", TCall::SpotExponentOutOfRange, GL_INVALID_VALUE},
    {"negative attenuation", TCall::NegativeAttenuation, GL_INVALID_VALUE},
    {"GL_LIGHT0 + 8", TCall::LightBeyondTheLast, GL_INVALID_ENUM},
    {"fog mode GL_LINE", TCall::UnknownFogMode, GL_INVALID_ENUM},
    {"unmap what is not mapped", TCall::UnmapWithoutMapping, GL_INVALID_OPERATION},
    {"map a mapped buffer", TCall::MapTwice, GL_INVALID_OPERATION},
    {"map with no buffer bound", TCall::MapWithoutBuffer, GL_INVALID_OPERATION},
    {"buffer data with usage 0", TCall::BufferDataWithoutUsage, GL_INVALID_ENUM},
};

// Makes the call; returns the first error it raised.
template <class TGl>
GLenum Make(TGl& gl, TCall call) {
  while (gl.GetError() != GL_NO_ERROR) {
  }
  GLuint buffer = 0;
  gl.GenBuffers(1, &buffer);
  gl.BindBuffer(GL_ARRAY_BUFFER, buffer);
  gl.BufferData(GL_ARRAY_BUFFER, 16, nullptr, GL_STATIC_DRAW);
  GLenum error = gl.GetError();
  if (error != GL_NO_ERROR) return error;
  switch (call) {
    case TCall::SpotCutoffOutOfRange:
      gl.Lightf(GL_LIGHT1, GL_SPOT_CUTOFF, 91.0f);
      break;
    case TCall::SpotExponentOutOfRange:
      gl.Lightf(GL_LIGHT1, GL_SPOT_EXPONENT, 129.0f);
      break;
    case TCall::NegativeAttenuation:
      gl.Lightf(GL_LIGHT1, GL_LINEAR_ATTENUATION, -1.0f);
      break;
    case TCall::LightBeyondTheLast:
      gl.Lightf(GL_LIGHT0 + 8, GL_SPOT_CUTOFF, 10.0f);
      break;
    case TCall::UnknownFogMode:
      gl.Fogi(GL_FOG_MODE, GL_LINE);
      break;
    case TCall::UnmapWithoutMapping:
      gl.UnmapBuffer(GL_ARRAY_BUFFER);
      break;
    case TCall::MapTwice:
      gl.MapBuffer(GL_ARRAY_BUFFER, GL_WRITE_ONLY);
      gl.MapBuffer(GL_ARRAY_BUFFER, GL_WRITE_ONLY);
      break;
    case TCall::MapWithoutBuffer:
      gl.BindBuffer(GL_ARRAY_BUFFER, 0);
      gl.MapBuffer(GL_ARRAY_BUFFER, GL_WRITE_ONLY);
      break;
    case TCall::BufferDataWithoutUsage:
      gl.BufferData(GL_ARRAY_BUFFER, 16, nullptr, 0);
      break;
  }
  error = gl.GetError();
  gl.BindBuffer(GL_ARRAY_BUFFER, buffer);
  gl.UnmapBuffer(GL_ARRAY_BUFFER);
  gl.BindBuffer(GL_ARRAY_BUFFER, 0);
  gl.DeleteBuffers(1, &buffer);
  while (gl.GetError() != GL_NO_ERROR) {
  }
  return error;
}

class FixedGlErrorTest : public GlTest {};

TEST_F(FixedGlErrorTest, RefusedCallsRaiseMesasErrorAndChangeNothing) {
  TMesaGl mesa;
  TFixedFunctionGl layer;
  for (const TErrorCase& c : kCases) {
    EXPECT_EQ(Make(mesa, c.Call), c.Error) << "Mesa: " << c.Name;
    EXPECT_EQ(Make(layer, c.Call), c.Error) << "layer: " << c.Name;
  }
  const TFixedFunctionState::TLight& light = layer.State().Lights[1];
  EXPECT_EQ(light.SpotCutoff, 180.0f);
  EXPECT_EQ(light.SpotExponent, 0.0f);
  EXPECT_EQ(light.LinearAttenuation, 0.0f);
  EXPECT_EQ(layer.State().FogMode, GLenum{GL_EXP});
}

// The program's quads from a 16-bit index buffer: indices past the end of the
// store are refused instead of read.
TEST_F(FixedGlErrorTest, IndicesPastTheElementStoreAreRefused) {
  TFixedFunctionGl layer;
  GLuint buffers[2] = {};
  layer.GenBuffers(2, buffers);
  layer.BindBuffer(GL_ARRAY_BUFFER, buffers[0]);
  layer.BufferData(GL_ARRAY_BUFFER, 4 * 12, nullptr, GL_STATIC_DRAW);
  layer.EnableClientState(GL_VERTEX_ARRAY);
  layer.VertexPointer(3, GL_FLOAT, 12, nullptr);
  layer.BindBuffer(GL_ELEMENT_ARRAY_BUFFER, buffers[1]);
  const std::uint16_t indices[4] = {0, 1, 2, 3};
  layer.BufferData(GL_ELEMENT_ARRAY_BUFFER, sizeof indices, indices, GL_STATIC_DRAW);
  layer.DrawElements(GL_QUADS, 4, GL_UNSIGNED_SHORT, nullptr);
  EXPECT_EQ(layer.GetError(), GLenum{GL_NO_ERROR});
  layer.DrawElements(GL_QUADS, 8, GL_UNSIGNED_SHORT, nullptr);
  EXPECT_EQ(layer.GetError(), GLenum{GL_INVALID_OPERATION});
  layer.DrawElements(GL_QUADS, 4, GL_UNSIGNED_SHORT, reinterpret_cast<const void*>(2));
  EXPECT_EQ(layer.GetError(), GLenum{GL_INVALID_OPERATION});
  layer.DeleteBuffers(2, buffers);
}

}  // namespace
