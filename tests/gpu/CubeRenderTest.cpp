#include <GL/glew.h>
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "app/Renderer.h"
#include "gpu/Mesh.h"
#include "scene/Camera.h"
#include "scene/Light.h"
#include "tests/support/GlTest.h"

namespace {

constexpr int kWidth = 1024, kHeight = 768;
constexpr int kCentreX = kWidth / 2, kCentreY = kHeight / 2;

// A camera 3 units from the centre of the unit cube, 60 degrees vertical field
// of view: the near face (2.5 away) spans 133 pixels each way from the window
// centre, the far face (3.5 away) 95.
constexpr int kInsideNearFace = 115, kOutsideCube = 150;

struct TView {
  std::string Name;
  float X, Y, Z;     // direction from the cube's centre to the camera
  float Pitch, Yaw;  // degrees, turning the camera's -Z onto -(X, Y, Z)
};

const std::vector<TView> kViews = {
    {"+Z", 0, 0, 1, 0, 0},   {"-Z", 0, 0, -1, 0, 180}, {"+X", 1, 0, 0, 0, -90},
    {"-X", -1, 0, 0, 0, 90}, {"+Y", 0, 1, 0, -90, 0},  {"-Y", 0, -1, 0, 90, 0},
};

class CubeRenderTest : public GlTest {
 protected:
  void SetUp() override {
    GlTest::SetUp();
    Camera = TCamera::Create();
    Camera->SetViewport(0, 0, kWidth, kHeight);
    Camera->SetRange(0.1f, 100.0f);
    Camera->SetClsColor(0, 0, 200);
    // Shines from behind the camera, so the faces turned to it are fully lit
    // and the others get the ambient light only.
    Light = TLight::Create(TLight::KIND_DIRECTIONAL);
    Cube = TMesh::Create(nullptr, nullptr, {});
    Cube->MakeCube();

    Cube->Hidden = 1;
    TRenderer::RenderWorld();
    Clear = ReadPixel(0, 0);
    Cube->Hidden = 0;
  }

  // Places the camera `distance` from the cube's centre on the view's side,
  // looking at the centre, with the light turned the same way.
  void Look(const TView& view, float distance) {
    Camera->Locate(view.X * distance, view.Y * distance, view.Z * distance);
    Camera->Rotate(view.Pitch, view.Yaw, 0.0f);
    Light->Rotate(view.Pitch, view.Yaw, 0.0f);
    TVector4 forward(0.0f, 0.0f, -1.0f, 0.0f);
    TEntity::TFormVector(forward, Camera.get(), nullptr);
    ASSERT_NEAR(forward.X, -view.X, 1e-5f) << view.Name;
    ASSERT_NEAR(forward.Y, -view.Y, 1e-5f) << view.Name;
    ASSERT_NEAR(forward.Z, -view.Z, 1e-5f) << view.Name;
  }

  // Pixels of the whole window that differ from the clear colour.
  int PixelsNotClear() const {
    std::vector<std::uint8_t> rgba(static_cast<std::size_t>(kWidth) * kHeight * 4);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, kWidth, kHeight, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
    int count = 0;
    for (std::size_t i = 0; i < rgba.size(); i += 4) {
      if (!Near({rgba[i], rgba[i + 1], rgba[i + 2], 255}, Clear)) ++count;
    }
    return count;
  }

  std::shared_ptr<TCamera> Camera;
  std::shared_ptr<TLight> Light;
  std::shared_ptr<TMesh> Cube;
  TPixel Clear;
};

TEST_F(CubeRenderTest, SeenFromOutsideTheNearFaceCoversItsSquareFullyLit) {
  ASSERT_TRUE(Near(Clear, {0, 0, 199, 255})) << Clear;
  const TPixel lit{255, 255, 255, 255};
  for (const TView& view : kViews) {
    Look(view, 3.0f);
    TRenderer::RenderWorld();
    EXPECT_TRUE(Near(ReadPixel(kCentreX, kCentreY), lit))
        << view.Name << ReadPixel(kCentreX, kCentreY);
    for (const auto& [dx, dy] : {std::pair{1, 0}, {-1, 0}, {0, 1}, {0, -1}}) {
      const TPixel inside =
          ReadPixel(kCentreX + dx * kInsideNearFace, kCentreY + dy * kInsideNearFace);
      const TPixel outside = ReadPixel(kCentreX + dx * kOutsideCube, kCentreY + dy * kOutsideCube);
      EXPECT_TRUE(Near(inside, lit)) << view.Name << " " << dx << ", " << dy << inside;
      EXPECT_TRUE(Near(outside, Clear)) << view.Name << " " << dx << ", " << dy << outside;
    }
  }
}

TEST_F(CubeRenderTest, SeenFromInsideNothingIsDrawn) {
  for (const TView& view : kViews) {
    Look(view, 0.0f);
    TRenderer::RenderWorld();
    EXPECT_EQ(PixelsNotClear(), 0) << view.Name;
  }
}

TEST_F(CubeRenderTest, WithTheCullingSenseReversedTheInsideFillsTheView) {
  // Shows that the inside test above looks at faces that are in view and would
  // be drawn but for their winding.
  glFrontFace(GL_CW);
  for (const TView& view : kViews) {
    Look(view, 0.0f);
    TRenderer::RenderWorld();
    EXPECT_EQ(PixelsNotClear(), kWidth * kHeight) << view.Name;
  }
}

}  // namespace
