#include "scene/Camera.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>

#include "scene/RenderRegistry.h"
#include "tests/math/MatrixNear.h"

namespace {

// The values the program starts with.
std::shared_ptr<TCamera> StartUpCamera() {
  auto camera = TCamera::Create();
  camera->SetAOV(60);
  camera->SetViewport(0, 0, 1024, 768);
  camera->SetClsColor(128, 128, 128);
  camera->SetRange(1, 500);
  return camera;
}

TEST(CameraTest, NewCameraHasNoAspectRatioYet) {
  auto camera = TCamera::Create();
  EXPECT_EQ(camera->ViewportW, 0);
  EXPECT_EQ(camera->ViewportH, 0);
  const TMatrix4& p = camera->ProjectionMatrix;
  EXPECT_TRUE(std::isnan(p.A[TMatrix4::A11]));
  EXPECT_NEAR(p.A[TMatrix4::A22], std::sqrt(3.0f), 1e-5f);
  EXPECT_NEAR(p.A[TMatrix4::A33], -101.0f / 99.0f, 1e-6f);
  EXPECT_NEAR(p.A[TMatrix4::A34], -200.0f / 99.0f, 1e-6f);
  EXPECT_EQ(p.A[TMatrix4::A43], -1.0f);
  EXPECT_EQ(p.A[TMatrix4::A44], 0.0f);
  EXPECT_EQ(camera->FogMode, TCamera::FOG_DISABLED);
  EXPECT_TRUE(VectorNear(camera->ClsColor, Vec4(0, 0, 0, 1), 0.0f));
  EXPECT_TRUE(VectorNear(camera->FogColor, Vec4(0, 0, 0, 1), 0.0f));
}

TEST(CameraTest, StartUpProjection) {
  auto camera = StartUpCamera();
  const float root3 = std::sqrt(3.0f);
  TMatrix4 expected;
  for (float& a : expected.A) a = 0.0f;
  expected.A[TMatrix4::A11] = root3 * 768.0f / 1024.0f;
  expected.A[TMatrix4::A22] = root3;
  expected.A[TMatrix4::A33] = -501.0f / 499.0f;
  expected.A[TMatrix4::A34] = -1000.0f / 499.0f;
  expected.A[TMatrix4::A43] = -1.0f;
  EXPECT_TRUE(MatrixNear(camera->ProjectionMatrix, expected, 1e-5f));
  // Colours are stored unscaled; the renderer scales them.
  EXPECT_TRUE(VectorNear(camera->ClsColor, Vec4(128, 128, 128, 1), 0.0f));
}

TEST(CameraTest, ProjectionFollowsTheSettingsThatShapeIt) {
  struct TCase {
    const char* Name;
    std::function<void(TCamera&)> Apply;
  };
  const TCase cases[] = {
      {"SetAOV", [](TCamera& c) { c.SetAOV(90); }},
      {"SetRange", [](TCamera& c) { c.SetRange(0.5f, 50); }},
      {"SetViewport", [](TCamera& c) { c.SetViewport(10, 20, 800, 400); }},
      {"SetFogRange", [](TCamera& c) { c.SetFogRange(5, 6); }},
      {"SetFogEnabled", [](TCamera& c) { c.SetFogEnabled(1); }},
      {"SetFogColor", [](TCamera& c) { c.SetFogColor(1, 2, 3); }},
      {"SetClsColor", [](TCamera& c) { c.SetClsColor(1, 2, 3); }},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    auto camera = StartUpCamera();
    c.Apply(*camera);
    TMatrix4 expected;
    expected.Perspective(camera->AOV, static_cast<float>(camera->ViewportW) / camera->ViewportH,
                         camera->DepthRangeMin, camera->DepthRangeMax);
    EXPECT_TRUE(MatrixNear(camera->ProjectionMatrix, expected, 0.0f));
  }
}

TEST(CameraTest, FogIsOnForAnyNonZeroFlag) {
  const int cases[][2] = {{5, 1}, {1, 1}, {-3, 1}, {0, 0}};
  auto camera = TCamera::Create();
  for (const auto& c : cases) {
    SCOPED_TRACE(c[0]);
    camera->SetFogEnabled(c[0]);
    EXPECT_EQ(camera->FogMode, c[1]);
  }
}

TEST(CameraTest, ProjectMapsTheNearPlaneToDepthMinusOneAndLeavesItsArgument) {
  auto camera = StartUpCamera();
  const TVector4 onNearPlane = Vec4(0, 0, -1, 1);
  const TVector4 projected = camera->Project(onNearPlane);
  EXPECT_TRUE(VectorNear(projected, Vec4(0, 0, -1, 1), 1e-5f));
  EXPECT_TRUE(VectorNear(onNearPlane, Vec4(0, 0, -1, 1), 0.0f));

  // No division by W: a far-plane point keeps W = 500.
  const TVector4 far = camera->Project(Vec4(0, 0, -500, 1));
  EXPECT_NEAR(far.Z, 500.0f, 1e-3f);
  EXPECT_EQ(far.W, 500.0f);
}

TEST(CameraTest, LastCreatedCameraIsCurrent) {
  auto first = TCamera::Create();
  EXPECT_EQ(TRenderRegistry::CurrentCamera, first);
  auto second = TCamera::Create();
  EXPECT_EQ(TRenderRegistry::CurrentCamera, second);
  EXPECT_NE(first, second);
}

}  // namespace
