#include <GL/glew.h>
#include <gtest/gtest.h>

#include <array>
#include <vector>

#include "app/Renderer.h"
#include "gpu/Mesh.h"
#include "scene/Camera.h"
#include "scene/Light.h"
#include "tests/support/GlTest.h"

namespace {

class RendererTest : public GlTest {
 protected:
  void SetUp() override {
    GlTest::SetUp();
    Camera = TCamera::Create();
    Camera->SetViewport(0, 0, 1024, 768);
    Camera->SetClsColor(128, 128, 128);
    Camera->SetRange(1.0f, 500.0f);
  }

  static std::array<GLfloat, 4> LightValue(GLenum light, GLenum name) {
    std::array<GLfloat, 4> value{};
    glGetLightfv(light, name, value.data());
    return value;
  }

  // A mesh of one quad covering the middle of the view, drawn clockwise as seen
  // from a camera at the origin looking along -Z.
  static std::shared_ptr<TMesh> QuadInFront(std::uint8_t grey) {
    auto mesh = TMesh::New();
    mesh->Init();
    std::vector<std::uint8_t> records(4 * 52);
    const float corners[4][2] = {{-1, 1}, {1, 1}, {1, -1}, {-1, -1}};
    std::uint8_t* p = records.data();
    for (const auto& c : corners) {
      p = mesh->RenderVertexIntoBuffer(p, c[0], c[1], -2.0f, 0, 0, 1, 0, 0, 0, grey, grey, grey,
                                       255, 0, 0, 0);
    }
    mesh->VBO->Bind();
    mesh->VBO->BufferData(static_cast<std::int64_t>(records.size()), records.data());
    mesh->IBO.reset();
    mesh->VertexCount = 4;
    return mesh;
  }

  std::shared_ptr<TCamera> Camera;
};

TEST_F(RendererTest, EmptyWorldShowsOnlyTheClearColour) {
  TRenderer::RenderWorld();
  for (const auto& [x, y] : {std::pair{0, 0}, {512, 384}, {1023, 767}}) {
    const TPixel pixel = ReadPixel(x, y);
    // 128/256 = 0.5 in each channel, which 8 bits store as 127 or 128.
    for (const int channel : {pixel.R, pixel.G, pixel.B}) {
      EXPECT_GE(channel, 127);
      EXPECT_LE(channel, 128);
    }
  }
  EXPECT_EQ(TakeGlError(), static_cast<unsigned>(GL_NO_ERROR));
}

TEST_F(RendererTest, FogFollowsTheCameraEveryFrame) {
  TRenderer::RenderWorld();
  EXPECT_FALSE(glIsEnabled(GL_FOG));

  Camera->SetFogEnabled(1);
  Camera->SetFogRange(10.0f, 200.0f);
  Camera->SetFogColor(64, 128, 255);
  TRenderer::RenderWorld();
  EXPECT_TRUE(glIsEnabled(GL_FOG));
  EXPECT_EQ(GlInteger(GL_FOG_MODE), GL_LINEAR);
  GLfloat start = 0, end = 0;
  glGetFloatv(GL_FOG_START, &start);
  glGetFloatv(GL_FOG_END, &end);
  EXPECT_FLOAT_EQ(start, 10.0f);
  EXPECT_FLOAT_EQ(end, 200.0f);
  std::array<GLfloat, 4> colour{};
  glGetFloatv(GL_FOG_COLOR, colour.data());
  // All four components are scaled by 1/256, alpha included.
  EXPECT_FLOAT_EQ(colour[0], 64.0f / 256);
  EXPECT_FLOAT_EQ(colour[1], 128.0f / 256);
  EXPECT_FLOAT_EQ(colour[2], 255.0f / 256);
  EXPECT_FLOAT_EQ(colour[3], 1.0f / 256);

  Camera->SetFogEnabled(0);
  TRenderer::RenderWorld();
  EXPECT_FALSE(glIsEnabled(GL_FOG));
}

TEST_F(RendererTest, FrontFacesAreCulledAndDepthTestIsOn) {
  TRenderer::RenderWorld();
  EXPECT_TRUE(glIsEnabled(GL_CULL_FACE));
  EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
  EXPECT_TRUE(glIsEnabled(GL_LIGHTING));
  EXPECT_TRUE(glIsEnabled(GL_COLOR_MATERIAL));
  EXPECT_EQ(GlInteger(GL_CULL_FACE_MODE), GL_FRONT);
  EXPECT_EQ(GlInteger(GL_FRONT_FACE), GL_CCW);
  EXPECT_EQ(GlInteger(GL_DEPTH_FUNC), GL_LESS);
}

TEST_F(RendererTest, ViewIsFoldedIntoTheProjection) {
  Camera->Move(3.0f, 4.0f, 5.0f, 1);
  Camera->Turn(0.0f, 30.0f, 0.0f);
  TRenderer::RenderWorld();
  const TMatrix4 expected = Camera->ProjectionMatrix * *Camera->GetInvTransform();
  std::array<GLfloat, 16> projection{};
  glGetFloatv(GL_PROJECTION_MATRIX, projection.data());
  for (int i = 0; i < 16; ++i) EXPECT_NEAR(projection[i], expected.A[i], 1e-5f) << i;
  EXPECT_EQ(GlInteger(GL_MATRIX_MODE), GL_MODELVIEW);
}

TEST_F(RendererTest, AmbientLightIsLightZeroAndOnlyIt) {
  TLight::SetAmbientColor(180, 180, 160);
  TRenderer::RenderWorld();
  EXPECT_TRUE(glIsEnabled(GL_LIGHT0));
  const auto ambient = LightValue(GL_LIGHT0, GL_AMBIENT);
  EXPECT_FLOAT_EQ(ambient[0], 180.0f / 256);
  EXPECT_FLOAT_EQ(ambient[2], 160.0f / 256);
  EXPECT_FLOAT_EQ(ambient[3], 1.0f);
  const auto diffuse = LightValue(GL_LIGHT0, GL_DIFFUSE);
  EXPECT_FLOAT_EQ(diffuse[0], 0.0f);
  EXPECT_FALSE(glIsEnabled(GL_LIGHT1));
}

TEST_F(RendererTest, LightsBeyondTheLimitAreLeftOutInListOrder) {
  const int maxLights = GlInteger(GL_MAX_LIGHTS);
  ASSERT_GE(maxLights, 2);
  // One light more than the slots after GL_LIGHT0, each with its own red.
  for (int i = 0; i < maxLights; ++i)
    TLight::Create(TLight::KIND_DIRECTIONAL)->SetColor(i + 1, 0, 0);
  TRenderer::RenderWorld();
  for (int slot = 1; slot < maxLights; ++slot) {
    const auto diffuse = LightValue(GL_LIGHT0 + slot, GL_DIFFUSE);
    EXPECT_FLOAT_EQ(diffuse[0], static_cast<float>(slot) / 256) << "GL_LIGHT" << slot;
  }
  EXPECT_EQ(TakeGlError(), static_cast<unsigned>(GL_NO_ERROR));
}

TEST_F(RendererTest, DirectionalLightShinesFromItsRotatedZAxis) {
  auto light = TLight::Create(TLight::KIND_DIRECTIONAL);
  light->Rotate(0.0f, 90.0f, 0.0f);  // local +Z turned to world -X
  TRenderer::RenderWorld();
  // OpenGL stores the position in eye coordinates: the light's vector transform
  // applied to (0, 0, 1, 0).
  const auto position = LightValue(GL_LIGHT1, GL_POSITION);
  EXPECT_NEAR(position[0], -1.0f, 1e-6f);
  EXPECT_NEAR(position[1], 0.0f, 1e-6f);
  EXPECT_NEAR(position[2], 0.0f, 1e-6f);
  EXPECT_FLOAT_EQ(position[3], 0.0f);
}

TEST_F(RendererTest, HiddenMeshesAreSkippedAndVisibleOnesDrawnInListOrder) {
  // OpenGL's default scene ambient (0.2) plus light 0 at 205/256 makes the
  // lit colour the vertex colour, so the pixels show which quad was drawn.
  TLight::SetAmbientColor(205, 205, 205);
  auto back = QuadInFront(40);
  auto front = QuadInFront(200);
  front->Locate(0.0f, 0.0f, 0.5f);  // nearer the camera
  TRenderer::RenderWorld();
  EXPECT_NEAR(ReadPixel(512, 384).R, 200, 2);

  front->Hidden = 1;
  TRenderer::RenderWorld();
  EXPECT_NEAR(ReadPixel(512, 384).R, 40, 2);

  back->Hidden = 1;
  TRenderer::RenderWorld();
  EXPECT_NEAR(ReadPixel(512, 384).R, 128, 1);
}

TEST_F(RendererTest, NoCameraDrawsNothingAndDoesNotCrash) {
  TRenderRegistry::CurrentCamera.reset();
  TRenderer::RenderWorld();
  EXPECT_EQ(TakeGlError(), static_cast<unsigned>(GL_NO_ERROR));
}

}  // namespace
