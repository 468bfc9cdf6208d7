#pragma once

// The GLSL ES 3.00 sources of the fixed-function layer's one program: per-vertex
// lighting in eye coordinates, the default material or GL_COLOR_MATERIAL's
// ambient-and-diffuse from the vertex colour, texture units 0 and 1 with
// GL_MODULATE, fog (linear, exp, exp2) on |z_eye|
// per fragment.
namespace FixedFunctionShader {

// Attribute locations; texture-coordinate set i is at TEXCOORD0 + i.
constexpr unsigned POSITION = 0;
constexpr unsigned NORMAL = 1;
constexpr unsigned COLOR = 2;
constexpr unsigned TEXCOORD0 = 3;
constexpr int TEXTURE_UNITS = 2;
constexpr int LIGHTS = 8;

extern const char* const VERTEX_SOURCE;
extern const char* const FRAGMENT_SOURCE;

}  // namespace FixedFunctionShader
