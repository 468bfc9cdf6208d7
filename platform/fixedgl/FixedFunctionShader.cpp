#include "platform/fixedgl/FixedFunctionShader.h"

namespace FixedFunctionShader {

// What the fixed-function pipeline computes per vertex with specular and
// emission zero (the default material, which the program never changes):
//   colour = a_cm * a_scene + sum over enabled lights of
//            att * spot * (a_cm * a_light + max(n . VP, 0) * d_cm * d_light),
// clamped to 0..1, alpha the material's diffuse alpha. n is the normal carried
// by the inverse transpose and not renormalised; VP is the unit vector to the
// light. Attenuation and spot only apply to positional lights.
//
// The enabled lights come packed into the first u_lightCount slots, in the
// order of their numbers, so the loop runs once per enabled light. A software
// rasteriser (SwiftShader, the browser's WebGL without a GPU) cannot tell that
// a branch on a uniform goes the same way for every vertex: it runs both
// sides under a mask, so skipping disabled lights inside a loop over all
// eight still cost eight lights' work for every vertex.
const char* const VERTEX_SOURCE = R"(#version 300 es
layout(location = 0) in vec4 a_position;
layout(location = 1) in vec3 a_normal;
layout(location = 2) in vec4 a_color;
layout(location = 3) in vec4 a_texCoord0;
layout(location = 4) in vec4 a_texCoord1;

uniform mat4 u_modelView;
uniform mat4 u_projection;
uniform mat3 u_normalMatrix;
uniform bool u_lighting;
uniform bool u_colorMaterial;
uniform vec4 u_sceneAmbient;
uniform int u_lightCount;                // enabled lights, in slots 0 .. u_lightCount - 1
uniform vec4 u_lightAmbient[8];
uniform vec4 u_lightDiffuse[8];
uniform vec4 u_lightPosition[8];       // eye coordinates
uniform vec3 u_lightSpotDirection[8];  // eye coordinates, unit length
uniform vec3 u_lightAttenuation[8];    // constant, linear, quadratic
uniform vec2 u_lightSpot[8];           // exponent, cos(cutoff); cutoff 180 gives -2

out vec4 v_color;
out vec4 v_texCoord0;
out vec4 v_texCoord1;
out float v_fogDistance;

vec4 Lit(vec3 eye, vec3 normal) {
  vec4 ambient = u_colorMaterial ? a_color : vec4(0.2, 0.2, 0.2, 1.0);
  vec4 diffuse = u_colorMaterial ? a_color : vec4(0.8, 0.8, 0.8, 1.0);
  vec3 sum = ambient.rgb * u_sceneAmbient.rgb;
  for (int i = 0; i < u_lightCount; ++i) {
    vec4 position = u_lightPosition[i];
    vec3 toLight;
    float factor = 1.0;
    if (position.w != 0.0) {
      toLight = position.xyz - eye;
      float distance = length(toLight);
      toLight /= distance;
      vec3 k = u_lightAttenuation[i];
      factor = 1.0 / (k.x + k.y * distance + k.z * distance * distance);
      vec2 spot = u_lightSpot[i];
      if (spot.y > -1.5) {
        float cosine = dot(-toLight, u_lightSpotDirection[i]);
        float effect = spot.x == 0.0 ? 1.0 : (cosine > 0.0 ? pow(cosine, spot.x) : 0.0);
        factor *= cosine >= spot.y ? effect : 0.0;
      }
    } else {
      toLight = normalize(position.xyz);
    }
    float lambert = max(dot(normal, toLight), 0.0);
    sum += factor * (ambient.rgb * u_lightAmbient[i].rgb +
                     lambert * diffuse.rgb * u_lightDiffuse[i].rgb);
  }
  return clamp(vec4(sum, diffuse.a), 0.0, 1.0);
}

void main() {
  vec4 eye = u_modelView * a_position;
  gl_Position = u_projection * eye;
  v_color = u_lighting ? Lit(eye.xyz, u_normalMatrix * a_normal) : a_color;
  v_texCoord0 = a_texCoord0;
  v_texCoord1 = a_texCoord1;
  v_fogDistance = abs(eye.z);
}
)";

const char* const FRAGMENT_SOURCE = R"(#version 300 es
precision highp float;

in vec4 v_color;
in vec4 v_texCoord0;
in vec4 v_texCoord1;
in float v_fogDistance;

uniform sampler2D u_texture0;
uniform sampler2D u_texture1;
uniform int u_textureMask;
uniform int u_fogMode;     // 0 off, 1 GL_LINEAR, 2 GL_EXP, 3 GL_EXP2
uniform vec4 u_fogColor;
uniform vec3 u_fogParams;  // end, 1 / (end - start), density

out vec4 fragColor;

void main() {
  vec4 color = v_color;
  if ((u_textureMask & 1) != 0) color *= texture(u_texture0, v_texCoord0.st / v_texCoord0.q);
  if ((u_textureMask & 2) != 0) color *= texture(u_texture1, v_texCoord1.st / v_texCoord1.q);
  if (u_fogMode != 0) {
    float f;
    if (u_fogMode == 1) {
      f = (u_fogParams.x - v_fogDistance) * u_fogParams.y;
    } else {
      float density = u_fogParams.z * v_fogDistance;
      f = exp(u_fogMode == 2 ? -density : -density * density);
    }
    color.rgb = mix(u_fogColor.rgb, color.rgb, clamp(f, 0.0, 1.0));
  }
  fragColor = color;
}
)";

}  // namespace FixedFunctionShader
