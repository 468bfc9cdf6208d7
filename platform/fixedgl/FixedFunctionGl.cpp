#include "platform/fixedgl/FixedFunctionGl.h"

#include <algorithm>
#include <cstring>

#include "platform/fixedgl/FixedFunctionMath.h"

namespace {

using TState = TFixedFunctionState;
constexpr unsigned kMatrices = TFixedFunctionProgram::CHANGED_MATRICES;
constexpr unsigned kLighting = TFixedFunctionProgram::CHANGED_LIGHTING;
constexpr unsigned kFog = TFixedFunctionProgram::CHANGED_FOG;
constexpr unsigned kTexturing = TFixedFunctionProgram::CHANGED_TEXTURING;

}  // namespace

TFixedFunctionGl::TFixedFunctionGl() {
  FGL(GetIntegerv)(GL_MAX_TEXTURE_SIZE, &maxTextureSize_);
}

void TFixedFunctionGl::Raise(GLenum error) {
  if (error_ == GL_NO_ERROR) error_ = error;
}

GLenum TFixedFunctionGl::GetError() {
  const GLenum error = error_;
  error_ = GL_NO_ERROR;
  return error != GL_NO_ERROR ? error : FGL(GetError)();
}

bool TFixedFunctionGl::SetCapability(GLenum cap, bool on) {
  if (cap >= GL_LIGHT0 && cap < GL_LIGHT0 + MAX_LIGHTS) {
    state_.Lights[cap - GL_LIGHT0].Enabled = on;
    changed_ |= kLighting;
    return true;
  }
  switch (cap) {
    case GL_LIGHTING:
      state_.Lighting = on;
      changed_ |= kLighting;
      return true;
    case GL_COLOR_MATERIAL:
      state_.ColorMaterial = on;
      changed_ |= kLighting;
      return true;
    case GL_FOG:
      state_.Fog = on;
      changed_ |= kFog;
      return true;
    case GL_TEXTURE_2D:
      state_.Texture2D[state_.ActiveTexture] = on;
      changed_ |= kTexturing;
      return true;
    default:
      return false;
  }
}

void TFixedFunctionGl::Enable(GLenum cap) {
  if (!SetCapability(cap, true)) FGL(Enable)(cap);
}

void TFixedFunctionGl::Disable(GLenum cap) {
  if (!SetCapability(cap, false)) FGL(Disable)(cap);
}

TState::TArray* TFixedFunctionGl::ArrayOf(GLenum array) {
  switch (array) {
    case GL_VERTEX_ARRAY:
      return &state_.Vertex;
    case GL_NORMAL_ARRAY:
      return &state_.Normal;
    case GL_COLOR_ARRAY:
      return &state_.Color;
    case GL_TEXTURE_COORD_ARRAY:
      return &state_.TexCoord[state_.ClientActiveTexture];
    default:
      Raise(GL_INVALID_ENUM);
      return nullptr;
  }
}

void TFixedFunctionGl::EnableClientState(GLenum array) {
  if (TState::TArray* found = ArrayOf(array)) found->Enabled = true;
}

void TFixedFunctionGl::DisableClientState(GLenum array) {
  if (TState::TArray* found = ArrayOf(array)) found->Enabled = false;
}

void TFixedFunctionGl::ShadeModel(GLenum mode) {
  if (mode != GL_SMOOTH) Raise(GL_INVALID_ENUM);
}

TState::TMatrix& TFixedFunctionGl::CurrentMatrix() {
  changed_ |= kMatrices;
  return state_.MatrixMode == GL_PROJECTION ? state_.Projection : state_.ModelView;
}

void TFixedFunctionGl::MatrixMode(GLenum mode) {
  if (mode == GL_MODELVIEW || mode == GL_PROJECTION) {
    state_.MatrixMode = mode;
  } else {
    Raise(GL_INVALID_ENUM);
  }
}

void TFixedFunctionGl::LoadIdentity() {
  CurrentMatrix() = TState::IDENTITY;
}

void TFixedFunctionGl::LoadMatrixf(const GLfloat* m) {
  std::copy(m, m + 16, CurrentMatrix().begin());
}

void TFixedFunctionGl::MultMatrixf(const GLfloat* m) {
  TState::TMatrix right;
  std::copy(m, m + 16, right.begin());
  TState::TMatrix& current = CurrentMatrix();
  current = FixedFunctionMath::Multiply(current, right);
}

TState::TLight* TFixedFunctionGl::LightOf(GLenum light) {
  if (light < GL_LIGHT0 || light >= GL_LIGHT0 + MAX_LIGHTS) {
    Raise(GL_INVALID_ENUM);
    return nullptr;
  }
  changed_ |= kLighting;
  return &state_.Lights[light - GL_LIGHT0];
}

void TFixedFunctionGl::SetLightScalar(TState::TLight& light, GLenum pname, GLfloat value) {
  switch (pname) {
    case GL_SPOT_EXPONENT:
      if (value < 0 || value > 128) return Raise(GL_INVALID_VALUE);
      light.SpotExponent = value;
      return;
    case GL_SPOT_CUTOFF:
      if ((value < 0 || value > 90) && value != 180) return Raise(GL_INVALID_VALUE);
      light.SpotCutoff = value;
      return;
    case GL_CONSTANT_ATTENUATION:
    case GL_LINEAR_ATTENUATION:
    case GL_QUADRATIC_ATTENUATION:
      if (value < 0) return Raise(GL_INVALID_VALUE);
      (pname == GL_CONSTANT_ATTENUATION ? light.ConstantAttenuation
       : pname == GL_LINEAR_ATTENUATION ? light.LinearAttenuation
                                        : light.QuadraticAttenuation) = value;
      return;
    default:
      Raise(GL_INVALID_ENUM);
  }
}

void TFixedFunctionGl::Lightf(GLenum light, GLenum pname, GLfloat param) {
  if (TState::TLight* found = LightOf(light)) SetLightScalar(*found, pname, param);
}

void TFixedFunctionGl::Lightfv(GLenum light, GLenum pname, const GLfloat* params) {
  TState::TLight* found = LightOf(light);
  if (!found) return;
  switch (pname) {
    case GL_AMBIENT:
      std::copy(params, params + 4, found->Ambient.begin());
      return;
    case GL_DIFFUSE:
      std::copy(params, params + 4, found->Diffuse.begin());
      return;
    case GL_SPECULAR:
      std::copy(params, params + 4, found->Specular.begin());
      return;
    case GL_POSITION:
      found->Position = FixedFunctionMath::Transform(state_.ModelView,
                                                     {params[0], params[1], params[2], params[3]});
      return;
    case GL_SPOT_DIRECTION:
      found->SpotDirection = FixedFunctionMath::TransformDirection(
          state_.ModelView, {params[0], params[1], params[2]});
      return;
    default:
      SetLightScalar(*found, pname, params[0]);
  }
}

void TFixedFunctionGl::Fogf(GLenum pname, GLfloat param) {
  if (pname == GL_FOG_COLOR) return Raise(GL_INVALID_ENUM);
  Fogfv(pname, &param);
}

void TFixedFunctionGl::Fogi(GLenum pname, GLint param) {
  if (pname == GL_FOG_MODE) {
    const GLfloat mode = static_cast<GLfloat>(param);
    return Fogfv(pname, &mode);
  }
  Fogf(pname, static_cast<GLfloat>(param));
}

void TFixedFunctionGl::Fogfv(GLenum pname, const GLfloat* params) {
  switch (pname) {
    case GL_FOG_MODE: {
      const GLenum mode = static_cast<GLenum>(params[0]);
      if (mode != GL_LINEAR && mode != GL_EXP && mode != GL_EXP2) return Raise(GL_INVALID_ENUM);
      state_.FogMode = mode;
      break;
    }
    case GL_FOG_DENSITY:
      if (params[0] < 0) return Raise(GL_INVALID_VALUE);
      state_.FogDensity = params[0];
      break;
    case GL_FOG_START:
      state_.FogStart = params[0];
      break;
    case GL_FOG_END:
      state_.FogEnd = params[0];
      break;
    case GL_FOG_COLOR:
      for (int c = 0; c < 4; ++c) state_.FogColor[c] = std::clamp(params[c], 0.0f, 1.0f);
      break;
    default:
      return Raise(GL_INVALID_ENUM);
  }
  changed_ |= kFog;
}

void TFixedFunctionGl::SetPointer(TState::TArray& array, GLint size, GLenum type, GLsizei stride,
                                  const void* pointer) {
  if (stride < 0) return Raise(GL_INVALID_VALUE);
  array.Size = size;
  array.Type = type;
  array.Stride = stride;
  array.Buffer = state_.ArrayBuffer;
  array.Offset = reinterpret_cast<std::intptr_t>(pointer);
}

void TFixedFunctionGl::VertexPointer(GLint size, GLenum type, GLsizei stride, const void* pointer) {
  if (size < 2 || size > 4) return Raise(GL_INVALID_VALUE);
  SetPointer(state_.Vertex, size, type, stride, pointer);
}

void TFixedFunctionGl::NormalPointer(GLenum type, GLsizei stride, const void* pointer) {
  SetPointer(state_.Normal, 3, type, stride, pointer);
}

void TFixedFunctionGl::ColorPointer(GLint size, GLenum type, GLsizei stride, const void* pointer) {
  if (size < 3 || size > 4) return Raise(GL_INVALID_VALUE);
  SetPointer(state_.Color, size, type, stride, pointer);
}

void TFixedFunctionGl::TexCoordPointer(GLint size, GLenum type, GLsizei stride,
                                       const void* pointer) {
  if (size < 1 || size > 4) return Raise(GL_INVALID_VALUE);
  SetPointer(state_.TexCoord[state_.ClientActiveTexture], size, type, stride, pointer);
}

void TFixedFunctionGl::ClientActiveTexture(GLenum texture) {
  if (texture < GL_TEXTURE0 || texture >= GL_TEXTURE0 + TState::MAX_TEXTURE_UNITS) {
    return Raise(GL_INVALID_ENUM);
  }
  state_.ClientActiveTexture = static_cast<int>(texture - GL_TEXTURE0);
}

void TFixedFunctionGl::ActiveTexture(GLenum texture) {
  if (texture < GL_TEXTURE0 || texture >= GL_TEXTURE0 + TState::MAX_TEXTURE_UNITS) {
    return Raise(GL_INVALID_ENUM);
  }
  FGL(ActiveTexture)(texture);
  state_.ActiveTexture = static_cast<int>(texture - GL_TEXTURE0);
}

void TFixedFunctionGl::DeleteBuffers(GLsizei n, const GLuint* buffers) {
  if (n < 0) return Raise(GL_INVALID_VALUE);
  for (GLsizei i = 0; i < n; ++i) {
    // A deleted buffer that is bound reverts to 0, as in OpenGL.
    if (buffers[i] == 0) continue;
    if (state_.ArrayBuffer == buffers[i]) state_.ArrayBuffer = 0;
    if (state_.ElementArrayBuffer == buffers[i]) state_.ElementArrayBuffer = 0;
  }
  buffers_.Forget(n, buffers);
  FGL(DeleteBuffers)(n, buffers);
}

void TFixedFunctionGl::BindBuffer(GLenum target, GLuint buffer) {
  if (target == GL_ELEMENT_ARRAY_BUFFER) {
    state_.ElementArrayBuffer = buffer;
    return;
  }
  if (target == GL_ARRAY_BUFFER) state_.ArrayBuffer = buffer;
  FGL(BindBuffer)(target, buffer);
}

namespace {

GLuint BoundTo(const TState& state, GLenum target) {
  if (target == GL_ARRAY_BUFFER) return state.ArrayBuffer;
  if (target == GL_ELEMENT_ARRAY_BUFFER) return state.ElementArrayBuffer;
  return 0;
}

}  // namespace

void TFixedFunctionGl::BufferData(GLenum target, GLsizeiptr size, const void* data, GLenum usage) {
  Raise(buffers_.Data(target, BoundTo(state_, target), size, data, usage));
}

void TFixedFunctionGl::BufferSubData(GLenum target, GLintptr offset, GLsizeiptr size,
                                     const void* data) {
  Raise(buffers_.SubData(target, BoundTo(state_, target), offset, size, data));
}

void* TFixedFunctionGl::MapBuffer(GLenum target, GLenum access) {
  GLenum error = GL_NO_ERROR;
  void* pointer = buffers_.Map(target, BoundTo(state_, target), access, error);
  Raise(error);
  return pointer;
}

GLboolean TFixedFunctionGl::UnmapBuffer(GLenum target) {
  const GLenum error = buffers_.Unmap(target, BoundTo(state_, target));
  Raise(error);
  return error == GL_NO_ERROR ? GL_TRUE : GL_FALSE;
}

void TFixedFunctionGl::DrawArrays(GLenum mode, GLint first, GLsizei count) {
  Raise(draw_.DrawArrays(program_, state_, changed_, mode, first, count));
}

void TFixedFunctionGl::DrawElements(GLenum mode, GLsizei count, GLenum type, const void* indices) {
  Raise(draw_.DrawElements(program_, state_, changed_, buffers_.Elements(state_.ElementArrayBuffer),
                           mode, count, type, reinterpret_cast<std::intptr_t>(indices)));
}

void TFixedFunctionGl::TexImage2D(GLenum target, GLint level, GLint internalFormat, GLsizei width,
                                  GLsizei height, GLint border, GLenum format, GLenum type,
                                  const void* pixels) {
  if (target != GL_PROXY_TEXTURE_2D) {
    FGL(TexImage2D)(target, level, internalFormat, width, height, border, format, type, pixels);
    return;
  }
  // A proxy level that cannot be had answers zero sizes, without an error.
  const bool fits = level >= 0 && level < 31 && border == 0 && width >= 0 && height >= 0 &&
                    width <= (maxTextureSize_ >> level) && height <= (maxTextureSize_ >> level);
  proxyWidth_ = fits ? width : 0;
  proxyHeight_ = fits ? height : 0;
}

void TFixedFunctionGl::GetTexLevelParameteriv(GLenum target, GLint level, GLenum pname,
                                              GLint* params) {
  if (target == GL_PROXY_TEXTURE_2D) {
    if (level != 0) return Raise(GL_INVALID_VALUE);
    if (pname == GL_TEXTURE_WIDTH) {
      *params = proxyWidth_;
    } else if (pname == GL_TEXTURE_HEIGHT) {
      *params = proxyHeight_;
    } else {
      Raise(GL_INVALID_ENUM);
    }
    return;
  }
#if FGL_HAS_TEX_LEVEL_QUERY
  FGL(GetTexLevelParameteriv)(target, level, pname, params);
#else
  Raise(GL_INVALID_ENUM);
#endif
}

void TFixedFunctionGl::GetIntegerv(GLenum pname, GLint* data) {
  switch (pname) {
    case GL_MAX_LIGHTS:
      *data = MAX_LIGHTS;
      return;
    case GL_MATRIX_MODE:
      *data = static_cast<GLint>(state_.MatrixMode);
      return;
    case GL_ARRAY_BUFFER_BINDING:
      *data = static_cast<GLint>(state_.ArrayBuffer);
      return;
    case GL_ELEMENT_ARRAY_BUFFER_BINDING:
      *data = static_cast<GLint>(state_.ElementArrayBuffer);
      return;
    case GL_CLIENT_ACTIVE_TEXTURE:
      *data = static_cast<GLint>(GL_TEXTURE0 + state_.ClientActiveTexture);
      return;
    case GL_CURRENT_PROGRAM:
      *data = static_cast<GLint>(state_.Program);
      return;
    default:
      FGL(GetIntegerv)(pname, data);
  }
}

void TFixedFunctionGl::DeleteObject(GLuint object) {
  if (object == 0) return;
  if (FGL(IsProgram)(object)) {
    FGL(DeleteProgram)(object);
  } else if (FGL(IsShader)(object)) {
    FGL(DeleteShader)(object);
  } else {
    Raise(GL_INVALID_VALUE);
  }
}

void TFixedFunctionGl::UseProgramObject(GLuint program) {
  state_.Program = program;
  FGL(UseProgram)(program);
}

void TFixedFunctionGl::GetObjectParameteriv(GLuint object, GLenum pname, GLint* params) {
  if (FGL(IsProgram)(object)) {
    FGL(GetProgramiv)(object, pname, params);
  } else {
    FGL(GetShaderiv)(object, pname, params);
  }
}

void TFixedFunctionGl::GetInfoLog(GLuint object, GLsizei maxLength, GLsizei* length,
                                  GLchar* infoLog) {
  if (FGL(IsProgram)(object)) {
    FGL(GetProgramInfoLog)(object, maxLength, length, infoLog);
  } else {
    FGL(GetShaderInfoLog)(object, maxLength, length, infoLog);
  }
}
