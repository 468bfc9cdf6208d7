#include "scene/Camera.h"

#include "scene/RenderRegistry.h"

TCamera::TCamera(TKey) {
  RebuildProjection();
}

std::shared_ptr<TCamera> TCamera::Create() {
  auto camera = std::make_shared<TCamera>(TKey{});
  TRenderRegistry::CurrentCamera = camera;
  return camera;
}

void TCamera::SetAOV(float aov) {
  AOV = aov;
  RebuildProjection();
}

void TCamera::SetClsColor(int r, int g, int b) {
  ClsColor = Vec3(static_cast<float>(r), static_cast<float>(g), static_cast<float>(b));
}

void TCamera::SetFogColor(int r, int g, int b) {
  FogColor = Vec3(static_cast<float>(r), static_cast<float>(g), static_cast<float>(b));
}

void TCamera::SetFogEnabled(int flag) {
  FogMode = flag != 0 ? FOG_ENABLED : FOG_DISABLED;
}

void TCamera::SetFogRange(float min, float max) {
  FogRangeMin = min;
  FogRangeMax = max;
}

void TCamera::SetRange(float min, float max) {
  DepthRangeMin = min;
  DepthRangeMax = max;
  RebuildProjection();
}

void TCamera::SetViewport(int x, int y, int w, int h) {
  ViewportX = x;
  ViewportY = y;
  ViewportW = w;
  ViewportH = h;
  RebuildProjection();
}

TVector4 TCamera::Project(const TVector4& v) const {
  return ProjectionMatrix * v;
}

void TCamera::RebuildProjection() {
  // A 0 x 0 viewport gives 0/0 here: A11 stays NaN until a real viewport is set.
  const float aspect = static_cast<float>(ViewportW) / static_cast<float>(ViewportH);
  ProjectionMatrix.Perspective(AOV, aspect, DepthRangeMin, DepthRangeMax);
}
