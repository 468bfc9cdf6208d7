#pragma once

#include <memory>

#include "math/Vector4.h"
#include "scene/Entity.h"
#include "scene/RenderRegistry.h"

// One light of the fixed-function pipeline. Each frame the renderer makes
// GL_LIGHT0 the class-wide ambient light and gives the lights of
// TRenderRegistry::LightList GL_LIGHT1, GL_LIGHT2, ... with the model-view matrix set
// to the light's vector transform, so a directional light shines from its local
// +Z axis. Colours are in 0..255 units and scaled by COLOR_SCALE (1/256) when
// handed to OpenGL, so 255 becomes 255/256.
class TLight : public TEntity {
  struct TKey {
    explicit TKey() = default;
  };

 public:
  static constexpr float COLOR_SCALE = TRenderRegistry::COLOR_SCALE;
  static constexpr int KIND_DIRECTIONAL = 1;
  static constexpr int KIND_POINT = 2;
  static constexpr int KIND_SPOT = 3;
  static constexpr float DEFAULT_RANGE = 100.0f;
  static constexpr float DEFAULT_GAMMA = 30.0f;
  static constexpr float DEFAULT_THETA = 45.0f;

  // Only New and Create make lights, so every light is in TRenderRegistry::LightList.
  explicit TLight(TKey);
  // A registered light of Kind 0, which SetState only enables and colours.
  static std::shared_ptr<TLight> New();
  static std::shared_ptr<TLight> Create(int kind);

  int Kind = 0;
  TVector4 Color{255.0f, 255.0f, 255.0f, 1.0f};  // diffuse
  float Range = DEFAULT_RANGE;                   // distance at which the attenuation factor is 1
  float Gamma = DEFAULT_GAMMA;                   // spot cut-off, degrees
  float Theta = DEFAULT_THETA;                   // spot exponent, not an angle

  // 0..255 units; (128, 128, 128) until SetAmbientColor.
  static inline TVector4 AmbientColor{128.0f, 128.0f, 128.0f, 1.0f};

  void SetColor(int r, int g, int b);
  void SetRange(float range) { Range = range; }
  void SetConeAngles(float gamma, float theta);
  // Loads this light into OpenGL light `light` (GL_LIGHT0 + n). Main thread.
  void SetState(int light) const;

  static void SetStateAmbient(int light);
  // Enables `light` with ambient, diffuse and specular all black.
  static void EnableLight(int light);
  static void SetAmbientColor(int r, int g, int b);
};
