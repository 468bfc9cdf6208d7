#include "platform/fixedgl/FixedFunctionProgram.h"

#include <cmath>
#include <numbers>
#include <string>
#include <vector>

#include "platform/FatalError.h"
#include "platform/fixedgl/FixedFunctionMath.h"
#include "platform/fixedgl/FixedFunctionShader.h"

namespace {

constexpr int kLights = FixedFunctionShader::LIGHTS;
static_assert(kLights == TFixedFunctionState::MAX_LIGHTS);

std::string InfoLog(GLuint object, bool isProgram) {
  GLint length = 0;
  if (isProgram) {
    FGL(GetProgramiv)(object, GL_INFO_LOG_LENGTH, &length);
  } else {
    FGL(GetShaderiv)(object, GL_INFO_LOG_LENGTH, &length);
  }
  if (length <= 0) return {};
  std::vector<char> log(static_cast<std::size_t>(length), '\0');
  GLsizei written = 0;
  if (isProgram) {
    FGL(GetProgramInfoLog)(object, length, &written, log.data());
  } else {
    FGL(GetShaderInfoLog)(object, length, &written, log.data());
  }
  return std::string(log.data(), static_cast<std::size_t>(written));
}

GLuint Compile(GLenum type, const char* source) {
  const GLuint shader = FGL(CreateShader)(type);
  FGL(ShaderSource)(shader, 1, &source, nullptr);
  FGL(CompileShader)(shader);
  GLint compiled = GL_FALSE;
  FGL(GetShaderiv)(shader, GL_COMPILE_STATUS, &compiled);
  if (compiled != GL_TRUE) {
    FatalError("fixed-function layer: shader does not compile: " + InfoLog(shader, false) + "\n");
  }
  return shader;
}

}  // namespace

TFixedFunctionProgram::TFixedFunctionProgram() {
  const GLuint vertex = Compile(GL_VERTEX_SHADER, FixedFunctionShader::VERTEX_SOURCE);
  const GLuint fragment = Compile(GL_FRAGMENT_SHADER, FixedFunctionShader::FRAGMENT_SOURCE);
  program_ = FGL(CreateProgram)();
  FGL(AttachShader)(program_, vertex);
  FGL(AttachShader)(program_, fragment);
  FGL(LinkProgram)(program_);
  FGL(DeleteShader)(vertex);
  FGL(DeleteShader)(fragment);
  GLint linked = GL_FALSE;
  FGL(GetProgramiv)(program_, GL_LINK_STATUS, &linked);
  if (linked != GL_TRUE) {
    FatalError("fixed-function layer: program does not link: " + InfoLog(program_, true) + "\n");
  }

  auto at = [this](const char* name) { return FGL(GetUniformLocation)(program_, name); };
  modelView_ = at("u_modelView");
  projection_ = at("u_projection");
  normalMatrix_ = at("u_normalMatrix");
  lighting_ = at("u_lighting");
  colorMaterial_ = at("u_colorMaterial");
  sceneAmbient_ = at("u_sceneAmbient");
  lightCount_ = at("u_lightCount");
  lightAmbient_ = at("u_lightAmbient");
  lightDiffuse_ = at("u_lightDiffuse");
  lightPosition_ = at("u_lightPosition");
  lightSpotDirection_ = at("u_lightSpotDirection");
  lightAttenuation_ = at("u_lightAttenuation");
  lightSpot_ = at("u_lightSpot");
  textureMask_ = at("u_textureMask");
  fogMode_ = at("u_fogMode");
  fogColor_ = at("u_fogColor");
  fogParams_ = at("u_fogParams");

  GLint previous = 0;
  FGL(GetIntegerv)(GL_CURRENT_PROGRAM, &previous);
  FGL(UseProgram)(program_);
  FGL(Uniform1i)(at("u_texture0"), 0);
  FGL(Uniform1i)(at("u_texture1"), 1);
  FGL(UseProgram)(static_cast<GLuint>(previous));
}

TFixedFunctionProgram::~TFixedFunctionProgram() {
  FGL(DeleteProgram)(program_);
}

void TFixedFunctionProgram::Upload(const TFixedFunctionState& state, unsigned changed) {
  if (changed & CHANGED_MATRICES) {
    FGL(UniformMatrix4fv)(modelView_, 1, GL_FALSE, state.ModelView.data());
    FGL(UniformMatrix4fv)(projection_, 1, GL_FALSE, state.Projection.data());
    const FixedFunctionMath::TMatrix3 normal = FixedFunctionMath::NormalMatrix(state.ModelView);
    FGL(UniformMatrix3fv)(normalMatrix_, 1, GL_FALSE, normal.data());
  }
  if (changed & CHANGED_LIGHTING) {
    FGL(Uniform1i)(lighting_, state.Lighting ? 1 : 0);
    FGL(Uniform1i)(colorMaterial_, state.ColorMaterial ? 1 : 0);
    FGL(Uniform4fv)(sceneAmbient_, 1, state.LightModelAmbient.data());
    // The enabled lights packed into slots 0 .. count - 1, in the order of
    // their numbers (the shader's sum keeps OpenGL's order); the other slots
    // stay zero and are not read.
    int count = 0;
    float ambient[kLights][4] = {}, diffuse[kLights][4] = {}, position[kLights][4] = {};
    float direction[kLights][3] = {}, attenuation[kLights][3] = {}, spot[kLights][2] = {};
    for (const TFixedFunctionState::TLight& light : state.Lights) {
      if (!light.Enabled) continue;
      const int i = count++;
      for (int c = 0; c < 4; ++c) {
        ambient[i][c] = light.Ambient[c];
        diffuse[i][c] = light.Diffuse[c];
        position[i][c] = light.Position[c];
      }
      const auto& d = light.SpotDirection;
      const float length = std::sqrt(d[0] * d[0] + d[1] * d[1] + d[2] * d[2]);
      for (int c = 0; c < 3; ++c) direction[i][c] = length > 0 ? d[c] / length : 0.0f;
      attenuation[i][0] = light.ConstantAttenuation;
      attenuation[i][1] = light.LinearAttenuation;
      attenuation[i][2] = light.QuadraticAttenuation;
      spot[i][0] = light.SpotExponent;
      spot[i][1] = light.SpotCutoff == 180.0f
                       ? -2.0f
                       : static_cast<float>(std::cos(light.SpotCutoff * std::numbers::pi / 180.0));
    }
    FGL(Uniform1i)(lightCount_, count);
    FGL(Uniform4fv)(lightAmbient_, kLights, &ambient[0][0]);
    FGL(Uniform4fv)(lightDiffuse_, kLights, &diffuse[0][0]);
    FGL(Uniform4fv)(lightPosition_, kLights, &position[0][0]);
    FGL(Uniform3fv)(lightSpotDirection_, kLights, &direction[0][0]);
    FGL(Uniform3fv)(lightAttenuation_, kLights, &attenuation[0][0]);
    FGL(Uniform2fv)(lightSpot_, kLights, &spot[0][0]);
  }
  if (changed & CHANGED_TEXTURING) {
    int mask = 0;
    for (int unit = 0; unit < FixedFunctionShader::TEXTURE_UNITS; ++unit) {
      if (state.Texture2D[unit]) mask |= 1 << unit;
    }
    FGL(Uniform1i)(textureMask_, mask);
  }
  if (changed & CHANGED_FOG) {
    int mode = 0;
    if (state.Fog) mode = state.FogMode == GL_LINEAR ? 1 : state.FogMode == GL_EXP ? 2 : 3;
    FGL(Uniform1i)(fogMode_, mode);
    FGL(Uniform4fv)(fogColor_, 1, state.FogColor.data());
    const float params[3] = {state.FogEnd, 1.0f / (state.FogEnd - state.FogStart),
                             state.FogDensity};
    FGL(Uniform3fv)(fogParams_, 1, params);
  }
}
