#include <GL/glew.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <memory>
#include <vector>

#include "platform/fixedgl/FixedFunctionGl.h"
#include "tests/platform/FixedGlScene.h"
#include "tests/platform/MesaGl.h"
#include "tests/support/GlTest.h"

namespace {

constexpr int kWidth = TFixedGlScene::WIDTH, kHeight = TFixedGlScene::HEIGHT;
constexpr int kPixels = kWidth * kHeight;
// Rasterisers and shaders differ in the last bit of a colour and on which side
// of an edge or a texel border a pixel centre falls.
constexpr int kChannelTolerance = 2;
constexpr int kDifferingAllowed = kPixels / 1000;

std::vector<std::uint8_t> ReadWindow() {
  std::vector<std::uint8_t> rgba(static_cast<std::size_t>(kPixels) * 4);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glReadBuffer(GL_BACK);
  glReadPixels(0, 0, kWidth, kHeight, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
  return rgba;
}

struct TDifference {
  int Differing = 0;   // pixels with a channel further apart than the tolerance
  int MaxChannel = 0;  // over all pixels
  int Covered = 0;     // pixels of `expected` unlike its bottom-left corner (the clear colour)
};

TDifference Compare(const std::vector<std::uint8_t>& expected,
                    const std::vector<std::uint8_t>& actual) {
  TDifference d;
  for (std::size_t i = 0; i < expected.size(); i += 4) {
    int worst = 0;
    bool covered = false;
    for (int c = 0; c < 3; ++c) {
      worst = std::max(worst, std::abs(expected[i + c] - actual[i + c]));
      covered = covered || expected[i + c] != expected[c];
    }
    d.MaxChannel = std::max(d.MaxChannel, worst);
    if (worst > kChannelTolerance) ++d.Differing;
    if (covered) ++d.Covered;
  }
  return d;
}

class FixedGlTest : public GlTest {
 protected:
  void SetUp() override {
    GlTest::SetUp();
    Scene = std::make_unique<TFixedGlScene>();
    Layer = std::make_unique<TFixedFunctionGl>();
  }
  void TearDown() override {
    Layer.reset();
    Scene.reset();
    GlTest::TearDown();
  }

  // Draws with Mesa, then with the layer, into the same window; checks that
  // both raised no error and that the pictures agree.
  template <class TDraw>
  void ExpectSamePicture(const std::string& name, TDraw draw, int minCovered) {
    TMesaGl mesa;
    draw(mesa);
    ASSERT_EQ(TakeGlError(), GLenum{GL_NO_ERROR}) << "Mesa";
    const std::vector<std::uint8_t> expected = ReadWindow();
    draw(*Layer);
    ASSERT_EQ(Layer->GetError(), GLenum{GL_NO_ERROR}) << "layer";
    ASSERT_EQ(TakeGlError(), GLenum{GL_NO_ERROR}) << "layer";
    const TDifference d = Compare(expected, ReadWindow());
    std::cout << name << ": " << d.Differing << " of " << kPixels << " pixels differ by more than "
              << kChannelTolerance << ", max channel difference " << d.MaxChannel << ", "
              << d.Covered << " pixels drawn\n";
    EXPECT_GE(d.Covered, minCovered) << "too little of the scene is in view to compare";
    EXPECT_LE(d.Differing, kDifferingAllowed);
  }

  std::unique_ptr<TFixedGlScene> Scene;
  std::unique_ptr<TFixedFunctionGl> Layer;
};

const TSceneLight kSun{TLight::KIND_DIRECTIONAL, 255, 255, 128, 45.0f, -30.0f};
const TSceneLight kFrontSun{TLight::KIND_DIRECTIONAL, 200, 230, 255, 10.0f, 20.0f};
const TSceneLight kPoint{TLight::KIND_POINT, 255, 160, 90, 0, 0, 1.5f, 0.5f, -4.0f, 3.0f};
const TSceneLight kSpot{
    TLight::KIND_SPOT, 120, 255, 140, 10.0f, 175.0f, -1.0f, 0.0f, -2.0f, 6.0f, 25.0f, 6.0f};
const TSceneLight kProgramSpot{TLight::KIND_SPOT, 255, 255, 255, 0, 180.0f, 0, 0, -1.0f};

class FixedGlSceneTest : public FixedGlTest, public ::testing::WithParamInterface<TSceneCase> {};

TEST_P(FixedGlSceneTest, DrawsAsMesasFixedFunction) {
  const TSceneCase& scene = GetParam();
  ExpectSamePicture(
      scene.Name, [&](auto& gl) { Scene->Draw(gl, scene); }, kPixels / 5);
}

// The first is the viewer's own: its ambient light and sun, both textures.
INSTANTIATE_TEST_SUITE_P(
    Scenes, FixedGlSceneTest,
    ::testing::Values(TSceneCase{"ViewerSun", {kSun}},
                      TSceneCase{"SunFromTheFront", {kFrontSun}, 0, true, 0},
                      TSceneCase{"PointLight", {kPoint}, 0, true, 1},
                      TSceneCase{"SpotLight", {kSpot}, 0, true, 2},
                      TSceneCase{"ProgramSpotDefaults", {kProgramSpot}, 0, true, 0},
                      TSceneCase{"ThreeLights", {kSun, kPoint, kSpot}},
                      TSceneCase{"LinearFog", {kFrontSun}, GL_LINEAR},
                      TSceneCase{"ExpFog", {kFrontSun}, GL_EXP, true, 1},
                      TSceneCase{"Unlit", {kSun}, 0, false, 0},
                      TSceneCase{"CurrentColourAndNormal", {kFrontSun}, 0, true, 0, false, false},
                      TSceneCase{"MappedBuffers", {kSun}, 0, true, 3, true, true, true},
                      TSceneCase{"IndexedPatch", {kPoint}, 0, true, 1, true, true, false, true}),
    [](const ::testing::TestParamInfo<TSceneCase>& info) { return info.param.Name; });

// 17,000 empty quads, then a grid of 500 small ones: the grid's vertices are
// past 65535, so the layer's quad indices must be wider than 16 bits.
TEST_F(FixedGlTest, DrawArraysReachesVerticesPastSixteenBitIndices) {
  constexpr int kEmpty = 17000, kColumns = 25, kRows = 20;
  std::vector<std::uint8_t> records(static_cast<std::size_t>(kEmpty + kColumns * kRows) * 4 * 52);
  std::uint8_t* record = records.data();
  for (int q = 0; q < kEmpty * 4; ++q) {
    record = Scene->Layout->RenderVertexIntoBuffer(record, 0, 0, -5, 0, 0, 1, 0, 0, 0, 255, 0, 0,
                                                   255, 0, 0, 0);
  }
  const float corners[4][2] = {{0, 1}, {1, 1}, {1, 0}, {0, 0}};
  for (int q = 0; q < kColumns * kRows; ++q) {
    const float x = static_cast<float>(q % kColumns) - kColumns / 2.0f;
    const float y = static_cast<float>(q / kColumns) - kRows / 2.0f;
    for (const auto& c : corners) {
      record = Scene->Layout->RenderVertexIntoBuffer(
          record, (x + 0.8f * c[0]) * 0.35f, (y + 0.8f * c[1]) * 0.35f, -5, 0, 0, 1, 0, 0, 0,
          static_cast<std::uint8_t>(q % 256), 200, static_cast<std::uint8_t>(255 - q % 256), 255, 0,
          0, 0);
    }
  }
  auto draw = [&](auto& gl) {
    gl.ClearColor(0, 0, 0, 1);
    gl.Clear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    gl.MatrixMode(GL_PROJECTION);
    gl.LoadMatrixf(Scene->Camera->ProjectionMatrix.A);
    gl.MatrixMode(GL_MODELVIEW);
    gl.LoadIdentity();
    gl.Disable(GL_LIGHTING);
    GLuint buffer = 0;
    gl.GenBuffers(1, &buffer);
    gl.BindBuffer(GL_ARRAY_BUFFER, buffer);
    gl.BufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(records.size()), records.data(),
                  GL_STATIC_DRAW);
    gl.EnableClientState(GL_VERTEX_ARRAY);
    gl.VertexPointer(3, GL_FLOAT, 52, nullptr);
    gl.EnableClientState(GL_COLOR_ARRAY);
    gl.ColorPointer(4, GL_UNSIGNED_BYTE, 52, reinterpret_cast<const void*>(std::intptr_t{24}));
    gl.DrawArrays(GL_QUADS, 0, static_cast<GLsizei>(records.size() / 52));
    gl.DisableClientState(GL_VERTEX_ARRAY);
    gl.DisableClientState(GL_COLOR_ARRAY);
    gl.DeleteBuffers(1, &buffer);
  };
  ExpectSamePicture("WideIndices", draw, kPixels / 4);
}

TEST_F(FixedGlTest, ProxyTextureAnswersAsTheDriverDoes) {
  GLint maxSize = 0;
  glGetIntegerv(GL_MAX_TEXTURE_SIZE, &maxSize);
  ASSERT_GT(maxSize, 0);
  auto answer = [](auto& gl, int width, int height) {
    gl.TexImage2D(GL_PROXY_TEXTURE_2D, 0, 4, width, height, 0, GL_RGBA, GL_UNSIGNED_BYTE, nullptr);
    GLint accepted = -1;
    gl.GetTexLevelParameteriv(GL_PROXY_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &accepted);
    return accepted;
  };
  TMesaGl mesa;
  for (const auto& [width, height] : {std::pair{1, 1},
                                      {64, 32},
                                      {maxSize, 1},
                                      {1, maxSize},
                                      {maxSize + 1, 1},
                                      {1, maxSize * 2},
                                      {maxSize * 2, 64}}) {
    const bool fits = width <= maxSize && height <= maxSize;
    EXPECT_EQ(answer(*Layer, width, height), fits ? width : 0) << width << " x " << height;
    EXPECT_EQ(answer(mesa, width, height), fits ? width : 0) << width << " x " << height;
  }
  EXPECT_EQ(Layer->GetError(), GLenum{GL_NO_ERROR});
}

TEST_F(FixedGlTest, MaxLightsIsEightAsInMesa) {
  GLint layer = 0, mesa = 0;
  Layer->GetIntegerv(GL_MAX_LIGHTS, &layer);
  glGetIntegerv(GL_MAX_LIGHTS, &mesa);
  EXPECT_EQ(layer, 8);
  EXPECT_EQ(layer, mesa);
}

// What a mapping hands out is what the buffer holds, and what is written
// through a writable mapping is in the buffer after the unmapping.
TEST_F(FixedGlTest, MappingsReadAndWriteTheStore) {
  auto roundTrip = [](auto& gl, GLenum target) {
    const std::uint8_t first[8] = {1, 2, 3, 4, 5, 6, 7, 8};
    GLuint buffer = 0;
    gl.GenBuffers(1, &buffer);
    gl.BindBuffer(target, buffer);
    gl.BufferData(target, 8, first, GL_DYNAMIC_DRAW);
    std::vector<std::uint8_t> seen(16, 0);
    const auto* read = static_cast<const std::uint8_t*>(gl.MapBuffer(target, GL_READ_ONLY));
    if (read) std::copy(read, read + 8, seen.begin());
    gl.UnmapBuffer(target);
    if (auto* write = static_cast<std::uint8_t*>(gl.MapBuffer(target, GL_WRITE_ONLY))) {
      for (int i = 0; i < 8; ++i) write[i] = static_cast<std::uint8_t>(100 + i);
    }
    gl.UnmapBuffer(target);
    read = static_cast<const std::uint8_t*>(gl.MapBuffer(target, GL_READ_WRITE));
    if (read) std::copy(read, read + 8, seen.begin() + 8);
    gl.UnmapBuffer(target);
    gl.DeleteBuffers(1, &buffer);
    return seen;
  };
  const std::vector<std::uint8_t> expected = {1,   2,   3,   4,   5,   6,   7,   8,
                                              100, 101, 102, 103, 104, 105, 106, 107};
  TMesaGl mesa;
  for (GLenum target : {GL_ARRAY_BUFFER, GL_ELEMENT_ARRAY_BUFFER}) {
    EXPECT_EQ(roundTrip(mesa, target), expected) << "Mesa, target " << target;
    EXPECT_EQ(roundTrip(*Layer, target), expected) << "layer, target " << target;
  }
  EXPECT_EQ(Layer->GetError(), GLenum{GL_NO_ERROR});
  EXPECT_EQ(TakeGlError(), GLenum{GL_NO_ERROR});
}

}  // namespace
