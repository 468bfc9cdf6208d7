#pragma once

#include <memory>

#include "math/Matrix4.h"
#include "math/Vector4.h"
#include "scene/Entity.h"

// The viewpoint: an entity that keeps a perspective projection and the clear
// colour and fog settings the renderer applies each frame. The camera looks
// along its local -Z axis with +Y up. Colours are in 0..255 units; the renderer
// scales them. Creating a camera makes it TRenderRegistry::CurrentCamera.
class TCamera : public TEntity {
  struct TKey {
    explicit TKey() = default;
  };

 public:
  static constexpr int FOG_DISABLED = 0;
  static constexpr int FOG_ENABLED = 1;
  static constexpr float DEFAULT_AOV = 60.0f;
  static constexpr float DEFAULT_DEPTH_MIN = 1.0f;
  static constexpr float DEFAULT_DEPTH_MAX = 100.0f;

  // Only Create makes cameras, so every camera is registered.
  explicit TCamera(TKey);
  static std::shared_ptr<TCamera> Create();

  float AOV = DEFAULT_AOV;  // full vertical angle, degrees
  TVector4 ClsColor{0.0f, 0.0f, 0.0f, 1.0f};
  TVector4 FogColor{0.0f, 0.0f, 0.0f, 1.0f};
  int FogMode = FOG_DISABLED;
  float FogRangeMin = 1.0f;
  float FogRangeMax = 100.0f;
  float DepthRangeMin = DEFAULT_DEPTH_MIN;
  float DepthRangeMax = DEFAULT_DEPTH_MAX;
  int ViewportX = 0;  // stored, not read
  int ViewportY = 0;  // stored, not read
  int ViewportW = 0;  // in pixels; only the aspect ratio is used
  int ViewportH = 0;
  TMatrix4 ProjectionMatrix;

  void SetAOV(float aov);
  void SetClsColor(int r, int g, int b);
  void SetFogColor(int r, int g, int b);
  void SetFogEnabled(int flag);
  void SetFogRange(float min, float max);
  void SetRange(float min, float max);
  void SetViewport(int x, int y, int w, int h);
  // ProjectionMatrix * v over all four components, without the division by W.
  TVector4 Project(const TVector4& v) const;
  void RebuildProjection();
};
