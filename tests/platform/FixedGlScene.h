#pragma once

#include <GL/glew.h>

#include <array>
#include <cstdint>
#include <cstring>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "gpu/Image.h"
#include "gpu/Mesh.h"
#include "scene/Camera.h"
#include "scene/Entity.h"
#include "scene/Light.h"

// A small scene drawn with the renderer's and the meshes' sequence of OpenGL
// calls, through any object with the method names of TFixedFunctionGl (the
// layer itself, or TMesaGl for the context's own fixed function), so the two
// pictures can be compared.

struct TSceneLight {
  int Kind = TLight::KIND_DIRECTIONAL;
  int R = 255, G = 255, B = 255;
  float Pitch = 0, Yaw = 0;   // the turn of the light's +Z
  float X = 0, Y = 0, Z = 0;  // where point and spot lights stand
  float Range = TLight::DEFAULT_RANGE;
  float Gamma = TLight::DEFAULT_GAMMA;
  float Theta = TLight::DEFAULT_THETA;
};

struct TSceneCase {
  std::string Name;
  std::vector<TSceneLight> Lights;
  GLenum Fog = 0;  // GL_LINEAR or GL_EXP; 0 leaves fog off
  bool Lighting = true;
  int TexturedUnits = 3;  // bit i: unit i samples its texture
  bool ColorArray = true;
  bool NormalArray = true;
  bool Mapped = false;        // the stores filled through MapBuffer, as TMesh::MakeCube does
  bool IndexedPatch = false;  // the patch drawn by index too (quads split otherwise)

  friend void PrintTo(const TSceneCase& scene, std::ostream* out) { *out << scene.Name; }
};

// The scene's fixed parts: a camera at the origin looking along -Z, a cube by
// TMesh::RenderCubeIntoBuffer drawn by index, a patch of quads with a colour
// of its own at every corner and normals of varying length and direction
// drawn as arrays, and two textures.
class TFixedGlScene {
 public:
  static constexpr int WIDTH = 1024, HEIGHT = 768;
  static constexpr int PATCH_QUADS = 8;  // per side

  TFixedGlScene();

  // Every record of the patch, then of the cube; 52 bytes each.
  std::vector<std::uint8_t> PatchRecords, CubeRecords;
  std::vector<std::uint16_t> CubeIndices;
  TImage Atlas, Occlusion;
  std::shared_ptr<TCamera> Camera;
  TEntity Patch, Cube;
  std::shared_ptr<TMesh> Layout;  // its layout writes the records

  template <class TGl>
  void Draw(TGl& gl, const TSceneCase& scene) const;

 private:
  template <class TGl>
  GLuint Upload(TGl& gl, const TImage& image) const;
  template <class TGl>
  GLuint Store(TGl& gl, GLenum target, const void* data, std::size_t size, bool mapped) const;
  template <class TGl>
  void SetLight(TGl& gl, GLenum id, const TSceneLight& light) const;
};

// As TTexture2D::Load uploads an image.
template <class TGl>
GLuint TFixedGlScene::Upload(TGl& gl, const TImage& image) const {
  auto accepts = [&gl](int width, int height) {
    gl.TexImage2D(GL_PROXY_TEXTURE_2D, 0, 4, width, height, 0, GL_RGBA, GL_UNSIGNED_BYTE, nullptr);
    GLint accepted = 0;
    gl.GetTexLevelParameteriv(GL_PROXY_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &accepted);
    return accepted != 0;
  };
  const std::vector<TImage> levels = TImage::TextureLevels(image, accepts);
  GLint previousBinding = 0, previousRowLength = 0;
  gl.GetIntegerv(GL_TEXTURE_BINDING_2D, &previousBinding);
  gl.GetIntegerv(GL_UNPACK_ROW_LENGTH, &previousRowLength);
  GLuint name = 0;
  gl.GenTextures(1, &name);
  gl.BindTexture(GL_TEXTURE_2D, name);
  for (std::size_t mip = 0; mip < levels.size(); ++mip) {
    gl.PixelStorei(GL_UNPACK_ROW_LENGTH, levels[mip].Width);
    gl.TexImage2D(GL_TEXTURE_2D, static_cast<GLint>(mip), GL_RGBA8, levels[mip].Width,
                  levels[mip].Height, 0, GL_RGBA, GL_UNSIGNED_BYTE, levels[mip].Pixels.data());
  }
  gl.BindTexture(GL_TEXTURE_2D, static_cast<GLuint>(previousBinding));
  gl.PixelStorei(GL_UNPACK_ROW_LENGTH, previousRowLength);
  return name;
}

template <class TGl>
GLuint TFixedGlScene::Store(TGl& gl, GLenum target, const void* data, std::size_t size,
                            bool mapped) const {
  GLuint name = 0;
  gl.GenBuffers(1, &name);
  gl.BindBuffer(target, name);
  const auto bytes = static_cast<GLsizeiptr>(size);
  if (!mapped) {
    gl.BufferData(target, bytes, data, GL_STATIC_DRAW);
    return name;
  }
  gl.BufferData(target, bytes, nullptr, GL_STATIC_DRAW);
  if (void* store = gl.MapBuffer(target, GL_WRITE_ONLY)) std::memcpy(store, data, size);
  gl.UnmapBuffer(target);
  return name;
}

// As TLight::SetState loads a light, with the model-view matrix the light's
// transform: the renderer's vector transform for a directional light, the
// whole transform for the others, so that they stand somewhere but the origin.
template <class TGl>
void TFixedGlScene::SetLight(TGl& gl, GLenum id, const TSceneLight& light) const {
  TEntity frame;
  frame.Locate(light.X, light.Y, light.Z);
  frame.Rotate(light.Pitch, light.Yaw, 0.0f);
  gl.LoadMatrixf(light.Kind == TLight::KIND_DIRECTIONAL ? frame.GetVectorTransform()->A
                                                        : frame.GetTransform()->A);
  const GLfloat black[4] = {0, 0, 0, 0};
  gl.Enable(id);
  gl.Lightfv(id, GL_AMBIENT, black);
  gl.Lightfv(id, GL_DIFFUSE, black);
  gl.Lightfv(id, GL_SPECULAR, black);
  const float s = TLight::COLOR_SCALE;
  const GLfloat diffuse[4] = {light.R * s, light.G * s, light.B * s, 1.0f};
  gl.Lightfv(id, GL_DIFFUSE, diffuse);
  const GLfloat directional[4] = {0, 0, 1, 0}, positional[4] = {0, 0, 0, 1};
  const GLfloat direction[4] = {0, 0, 1, 1};
  const bool directionalKind = light.Kind == TLight::KIND_DIRECTIONAL;
  gl.Lightfv(id, GL_POSITION, directionalKind ? directional : positional);
  if (light.Kind == TLight::KIND_SPOT) gl.Lightfv(id, GL_SPOT_DIRECTION, direction);
  gl.Lightf(id, GL_CONSTANT_ATTENUATION, directionalKind ? 1.0f : 0.0f);
  gl.Lightf(id, GL_LINEAR_ATTENUATION, directionalKind ? 0.0f : 1.0f / light.Range);
  gl.Lightf(id, GL_QUADRATIC_ATTENUATION, 0.0f);
  if (light.Kind == TLight::KIND_SPOT) {
    gl.Lightf(id, GL_SPOT_CUTOFF, light.Gamma);
    gl.Lightf(id, GL_SPOT_EXPONENT, light.Theta);
  }
}

template <class TGl>
void TFixedGlScene::Draw(TGl& gl, const TSceneCase& scene) const {
  // TRenderer::RenderWorld's frame set-up.
  gl.Enable(GL_DEPTH_TEST);
  gl.ClearColor(0.1f, 0.2f, 0.5f, 1.0f);
  gl.Clear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  if (scene.Fog != 0) {
    gl.Enable(GL_FOG);
    gl.Fogi(GL_FOG_MODE, static_cast<GLint>(scene.Fog));
    gl.Fogf(GL_FOG_START, 4.0f);
    gl.Fogf(GL_FOG_END, 11.0f);
    gl.Fogf(GL_FOG_DENSITY, 0.12f);
    const GLfloat fogColor[4] = {0.7f, 0.6f, 0.5f, 1.0f};
    gl.Fogfv(GL_FOG_COLOR, fogColor);
  } else {
    gl.Disable(GL_FOG);
  }
  gl.MatrixMode(GL_PROJECTION);
  gl.LoadMatrixf(Camera->ProjectionMatrix.A);
  gl.MultMatrixf(Camera->GetInvTransform()->A);
  gl.MatrixMode(GL_MODELVIEW);
  gl.LoadIdentity();
  if (scene.Lighting) {
    gl.Enable(GL_LIGHTING);
  } else {
    gl.Disable(GL_LIGHTING);
  }
  gl.Enable(GL_COLOR_MATERIAL);
  gl.ShadeModel(GL_SMOOTH);
  // TLight::SetStateAmbient with the viewer's ambient colour.
  const GLfloat black[4] = {0, 0, 0, 0};
  const float s = TLight::COLOR_SCALE;
  const GLfloat ambient[4] = {180 * s, 180 * s, 160 * s, 1.0f};
  gl.Enable(GL_LIGHT0);
  gl.Lightfv(GL_LIGHT0, GL_AMBIENT, black);
  gl.Lightfv(GL_LIGHT0, GL_DIFFUSE, black);
  gl.Lightfv(GL_LIGHT0, GL_SPECULAR, black);
  gl.Lightfv(GL_LIGHT0, GL_AMBIENT, ambient);
  for (std::size_t i = 0; i < scene.Lights.size(); ++i) {
    SetLight(gl, GL_LIGHT1 + static_cast<GLenum>(i), scene.Lights[i]);
  }
  gl.Enable(GL_CULL_FACE);
  gl.CullFace(GL_FRONT);

  const GLuint textures[2] = {Upload(gl, Atlas), Upload(gl, Occlusion)};
  const GLuint patchBuffer =
      Store(gl, GL_ARRAY_BUFFER, PatchRecords.data(), PatchRecords.size(), scene.Mapped);
  const GLuint cubeBuffer =
      Store(gl, GL_ARRAY_BUFFER, CubeRecords.data(), CubeRecords.size(), scene.Mapped);
  const GLuint cubeIndices = Store(gl, GL_ELEMENT_ARRAY_BUFFER, CubeIndices.data(),
                                   CubeIndices.size() * sizeof(std::uint16_t), true);
  std::vector<std::uint16_t> patchOrder(PatchRecords.size() / 52);
  for (std::size_t i = 0; i < patchOrder.size(); ++i) patchOrder[i] = static_cast<std::uint16_t>(i);
  const GLuint patchIndices = scene.IndexedPatch
                                  ? Store(gl, GL_ELEMENT_ARRAY_BUFFER, patchOrder.data(),
                                          patchOrder.size() * sizeof(std::uint16_t), scene.Mapped)
                                  : 0;

  // TMesh::DefaultDraw for each of the two meshes.
  auto drawMesh = [&](const TEntity& entity, GLuint vertices, GLuint indices, GLsizei count) {
    gl.LoadMatrixf(entity.GetTransform()->A);
    gl.BindBuffer(GL_ARRAY_BUFFER, vertices);
    if (indices != 0) gl.BindBuffer(GL_ELEMENT_ARRAY_BUFFER, indices);
    const int stride = Layout->VertexSize;
    auto offset = [](int bytes) { return reinterpret_cast<const void*>(std::intptr_t{bytes}); };
    gl.EnableClientState(GL_VERTEX_ARRAY);
    gl.VertexPointer(3, GL_FLOAT, stride, offset(Layout->PositionIndex));
    if (scene.NormalArray) {
      gl.EnableClientState(GL_NORMAL_ARRAY);
      gl.NormalPointer(GL_FLOAT, stride, offset(Layout->NormalIndex));
    }
    if (scene.ColorArray) {
      gl.EnableClientState(GL_COLOR_ARRAY);
      gl.ColorPointer(4, GL_UNSIGNED_BYTE, stride, offset(Layout->ColorIndex));
    }
    for (int unit = 0; unit < 2; ++unit) {
      if ((scene.TexturedUnits & (1 << unit)) == 0) continue;
      gl.ActiveTexture(GL_TEXTURE0 + unit);
      gl.ClientActiveTexture(GL_TEXTURE0 + unit);
      gl.BindTexture(GL_TEXTURE_2D, textures[unit]);
      gl.Enable(GL_TEXTURE_2D);
      gl.TexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
      gl.TexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
      gl.EnableClientState(GL_TEXTURE_COORD_ARRAY);
      gl.TexCoordPointer(3, GL_FLOAT, stride, offset(Layout->TexCoordIndex + 12 * unit));
    }
    if (indices != 0) {
      gl.DrawElements(GL_QUADS, count, GL_UNSIGNED_SHORT, offset(0));
    } else {
      gl.DrawArrays(GL_QUADS, 0, count);
    }
    for (int unit = 0; unit < 2; ++unit) {
      if ((scene.TexturedUnits & (1 << unit)) == 0) continue;
      gl.ActiveTexture(GL_TEXTURE0 + unit);
      gl.Disable(GL_TEXTURE_2D);
      gl.ClientActiveTexture(GL_TEXTURE0 + unit);
      gl.DisableClientState(GL_TEXTURE_COORD_ARRAY);
    }
    gl.DisableClientState(GL_VERTEX_ARRAY);
    gl.DisableClientState(GL_NORMAL_ARRAY);
    gl.DisableClientState(GL_COLOR_ARRAY);
  };
  drawMesh(Patch, patchBuffer, patchIndices, static_cast<GLsizei>(patchOrder.size()));
  drawMesh(Cube, cubeBuffer, cubeIndices, static_cast<GLsizei>(CubeIndices.size()));

  const GLuint buffers[4] = {patchBuffer, cubeBuffer, cubeIndices, patchIndices};
  gl.DeleteBuffers(4, buffers);
}
