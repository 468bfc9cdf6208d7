#pragma once

#include <array>
#include <cstdint>

#include "platform/fixedgl/GlBackend.h"

// The OpenGL 1.x state that TFixedFunctionGl emulates, with OpenGL's initial
// values, in one struct so that a test or a reset starts afresh with one
// assignment. Colours are 0..1 RGBA; matrices are column-major, as
// glLoadMatrixf takes them; positions and directions of lights are in eye
// coordinates (carried there by the model-view matrix current at glLightfv).
struct TFixedFunctionState {
  static constexpr int MAX_LIGHTS = 8;
  // Units whose GL_TEXTURE_2D enable and coordinate array are kept.
  static constexpr int MAX_TEXTURE_UNITS = 8;

  using TMatrix = std::array<float, 16>;
  using TColor = std::array<float, 4>;

  static constexpr TMatrix IDENTITY = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};

  struct TLight {
    bool Enabled = false;
    TColor Ambient{0, 0, 0, 1};
    TColor Diffuse{0, 0, 0, 1};   // light 0 starts at (1, 1, 1, 1)
    TColor Specular{0, 0, 0, 1};  // light 0 starts at (1, 1, 1, 1); kept, never lit with
    std::array<float, 4> Position{0, 0, 1, 0};
    std::array<float, 3> SpotDirection{0, 0, -1};
    float SpotExponent = 0;
    float SpotCutoff = 180;  // degrees; 180 = no spot
    float ConstantAttenuation = 1;
    float LinearAttenuation = 0;
    float QuadraticAttenuation = 0;
  };

  // One client array. Its buffer is the one bound to GL_ARRAY_BUFFER when its
  // pointer was given, and Offset is a byte offset into it; buffer 0 means a
  // pointer into client memory, which the layer does not draw from.
  struct TArray {
    bool Enabled = false;
    GLint Size = 4;
    GLenum Type = GL_FLOAT;
    GLsizei Stride = 0;
    GLuint Buffer = 0;
    std::intptr_t Offset = 0;
  };

  static std::array<TLight, MAX_LIGHTS> DefaultLights() {
    std::array<TLight, MAX_LIGHTS> lights{};
    lights[0].Diffuse = {1, 1, 1, 1};
    lights[0].Specular = {1, 1, 1, 1};
    return lights;
  }

  GLenum MatrixMode = GL_MODELVIEW;
  TMatrix ModelView = IDENTITY;
  TMatrix Projection = IDENTITY;

  bool Lighting = false;
  bool ColorMaterial = false;
  std::array<TLight, MAX_LIGHTS> Lights = DefaultLights();
  TColor LightModelAmbient{0.2f, 0.2f, 0.2f, 1.0f};

  bool Fog = false;
  GLenum FogMode = GL_EXP;
  float FogDensity = 1;
  float FogStart = 0;
  float FogEnd = 1;
  TColor FogColor{0, 0, 0, 0};

  int ActiveTexture = 0;        // 0 <= unit < MAX_TEXTURE_UNITS
  int ClientActiveTexture = 0;  // 0 <= unit < MAX_TEXTURE_UNITS
  std::array<bool, MAX_TEXTURE_UNITS> Texture2D{};

  TArray Vertex{false, 4};
  TArray Normal{false, 3};
  TArray Color{false, 4};
  std::array<TArray, MAX_TEXTURE_UNITS> TexCoord{};

  GLuint ArrayBuffer = 0;         // the program's bindings
  GLuint ElementArrayBuffer = 0;  // kept by the layer alone, never bound on the backend
  GLuint Program = 0;             // the program's glUseProgramObjectARB
};
