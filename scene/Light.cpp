#include "scene/Light.h"

#include <GL/glew.h>

#include "scene/RenderRegistry.h"

TLight::TLight(TKey) {}

std::shared_ptr<TLight> TLight::New() {
  auto light = std::make_shared<TLight>(TKey{});
  TRenderRegistry::LightList.push_back(light);
  return light;
}

std::shared_ptr<TLight> TLight::Create(int kind) {
  auto light = New();
  light->Kind = kind;
  return light;
}

void TLight::SetColor(int r, int g, int b) {
  Color = Vec3(static_cast<float>(r), static_cast<float>(g), static_cast<float>(b));
}

void TLight::SetConeAngles(float gamma, float theta) {
  Gamma = gamma;
  Theta = theta;
}

void TLight::EnableLight(int light) {
  const GLenum id = static_cast<GLenum>(light);
  const GLfloat black[4] = {0.0f, 0.0f, 0.0f, 0.0f};
  glEnable(id);
  glLightfv(id, GL_AMBIENT, black);
  glLightfv(id, GL_DIFFUSE, black);
  glLightfv(id, GL_SPECULAR, black);
}

void TLight::SetState(int light) const {
  const GLenum id = static_cast<GLenum>(light);
  EnableLight(light);
  const GLfloat diffuse[4] = {Color.X * COLOR_SCALE, Color.Y * COLOR_SCALE, Color.Z * COLOR_SCALE,
                              Color.W};
  glLightfv(id, GL_DIFFUSE, diffuse);
  // Position and spot direction are in the light's own frame; OpenGL carries
  // them to the world with the model-view matrix the renderer has loaded.
  switch (Kind) {
    case KIND_DIRECTIONAL: {
      const GLfloat position[4] = {0.0f, 0.0f, 1.0f, 0.0f};
      glLightfv(id, GL_POSITION, position);
      glLightf(id, GL_CONSTANT_ATTENUATION, 1.0f);
      glLightf(id, GL_LINEAR_ATTENUATION, 0.0f);
      glLightf(id, GL_QUADRATIC_ATTENUATION, 0.0f);
      break;
    }
    case KIND_POINT: {
      const GLfloat position[4] = {0.0f, 0.0f, 0.0f, 1.0f};
      glLightfv(id, GL_POSITION, position);
      glLightf(id, GL_CONSTANT_ATTENUATION, 0.0f);
      glLightf(id, GL_LINEAR_ATTENUATION, 1.0f / Range);
      glLightf(id, GL_QUADRATIC_ATTENUATION, 0.0f);
      break;
    }
    case KIND_SPOT: {
      const GLfloat position[4] = {0.0f, 0.0f, 0.0f, 1.0f};
      const GLfloat direction[4] = {0.0f, 0.0f, 1.0f, 1.0f};
      glLightfv(id, GL_POSITION, position);
      glLightfv(id, GL_SPOT_DIRECTION, direction);
      glLightf(id, GL_CONSTANT_ATTENUATION, 0.0f);
      glLightf(id, GL_LINEAR_ATTENUATION, 1.0f / Range);
      glLightf(id, GL_QUADRATIC_ATTENUATION, 0.0f);
      glLightf(id, GL_SPOT_CUTOFF, Gamma);
      glLightf(id, GL_SPOT_EXPONENT, Theta);
      break;
    }
    default:
      break;
  }
}

void TLight::SetStateAmbient(int light) {
  const GLfloat ambient[4] = {AmbientColor.X * COLOR_SCALE, AmbientColor.Y * COLOR_SCALE,
                              AmbientColor.Z * COLOR_SCALE, AmbientColor.W};
  EnableLight(light);
  glLightfv(static_cast<GLenum>(light), GL_AMBIENT, ambient);
}

void TLight::SetAmbientColor(int r, int g, int b) {
  AmbientColor = Vec3(static_cast<float>(r), static_cast<float>(g), static_cast<float>(b));
}
