#pragma once

#include "platform/fixedgl/BufferObjects.h"
#include "platform/fixedgl/FixedFunctionDraw.h"
#include "platform/fixedgl/FixedFunctionProgram.h"
#include "platform/fixedgl/FixedFunctionState.h"

// The subset of OpenGL 1.x fixed function that the program draws with,
// emulated over OpenGL ES 3.0 / WebGL 2 with one shader program. Each method
// is the GL call of the same name without the gl prefix (and without ARB).
//
// What it implements, as OpenGL defines it:
// - GL_MODELVIEW and GL_PROJECTION matrices: MatrixMode, LoadIdentity,
//   LoadMatrixf, MultMatrixf (no matrix stacks).
// - Per-vertex lighting in eye coordinates: eight lights with ambient, diffuse,
//   position and spot direction (carried by the model-view matrix of the
//   Lightfv call), constant/linear/quadratic attenuation, spot cutoff and
//   exponent; the light model's default ambient (0.2, 0.2, 0.2, 1), one-sided,
//   local viewer off; normals by the inverse transpose, never renormalised.
//   The default material (ambient 0.2, diffuse 0.8, no specular, no emission),
//   or with GL_COLOR_MATERIAL its default mode: ambient and diffuse from the
//   vertex colour. Colours clamped per vertex; alpha the diffuse alpha.
// - Fog (GL_LINEAR, GL_EXP, GL_EXP2) on |z_eye|, factor per fragment.
// - GL_TEXTURE_2D with GL_MODULATE on units 0 and 1, in unit order; texture
//   units 0..7 for ActiveTexture and ClientActiveTexture.
// - Client arrays from buffer objects: vertex, normal, colour and texture
//   coordinates (per client-active unit); current normal (0, 0, 1), colour
//   (1, 1, 1, 1) and coordinates (0, 0, 0, 1) where an array is off.
// - DrawArrays and DrawElements; GL_QUADS become two triangles each, split on
//   the diagonal Mesa takes (see TFixedFunctionDraw).
// - Buffer objects with MapBuffer/UnmapBuffer through a CPU copy (see
//   TBufferObjects), and the GL_PROXY_TEXTURE_2D size check against the
//   backend's GL_MAX_TEXTURE_SIZE. GL_MAX_LIGHTS reads 8.
// - The ARB shader-object calls, forwarded to the ES shader calls.
// Everything else the methods receive goes to the backend unchanged
// (depth test, culling, clearing, texture objects and parameters, pixel store,
// unknown capabilities and queries).
//
// What it does not: specular light, materials (glMaterial), glColor/glNormal/
// glTexCoord, GL_NORMALIZE, two-sided lighting, GL_FLAT shading, texture
// environments other than GL_MODULATE, texturing on units 2..7 (their enables
// are kept but not drawn with), the texture matrix, matrix stacks,
// GetTexLevelParameteriv of real textures on the web (ES 3.0 has no such
// query: it raises GL_INVALID_ENUM),
// client-memory arrays and indices (a draw from them ends the program: nothing
// in it gives them). Emulated calls with an enumerant outside the subset raise
// GL_INVALID_ENUM (the call does nothing), which GetError reports.
//
// One instance per context, used on the thread whose context is current.
class TFixedFunctionGl {
 public:
  static constexpr int MAX_LIGHTS = TFixedFunctionState::MAX_LIGHTS;

  // Needs the context current: makes the program, a vertex array and index buffers.
  TFixedFunctionGl();
  TFixedFunctionGl(const TFixedFunctionGl&) = delete;
  TFixedFunctionGl& operator=(const TFixedFunctionGl&) = delete;

  const TFixedFunctionState& State() const { return state_; }

  void Enable(GLenum cap);
  void Disable(GLenum cap);
  void EnableClientState(GLenum array);
  void DisableClientState(GLenum array);
  void ShadeModel(GLenum mode);

  void MatrixMode(GLenum mode);
  void LoadIdentity();
  void LoadMatrixf(const GLfloat* m);
  void MultMatrixf(const GLfloat* m);

  void Lightf(GLenum light, GLenum pname, GLfloat param);
  void Lightfv(GLenum light, GLenum pname, const GLfloat* params);
  void Fogf(GLenum pname, GLfloat param);
  void Fogi(GLenum pname, GLint param);
  void Fogfv(GLenum pname, const GLfloat* params);

  void VertexPointer(GLint size, GLenum type, GLsizei stride, const void* pointer);
  void NormalPointer(GLenum type, GLsizei stride, const void* pointer);
  void ColorPointer(GLint size, GLenum type, GLsizei stride, const void* pointer);
  void TexCoordPointer(GLint size, GLenum type, GLsizei stride, const void* pointer);
  void ClientActiveTexture(GLenum texture);
  void ActiveTexture(GLenum texture);

  void GenBuffers(GLsizei n, GLuint* buffers) { FGL(GenBuffers)(n, buffers); }
  void DeleteBuffers(GLsizei n, const GLuint* buffers);
  void BindBuffer(GLenum target, GLuint buffer);
  void BufferData(GLenum target, GLsizeiptr size, const void* data, GLenum usage);
  void BufferSubData(GLenum target, GLintptr offset, GLsizeiptr size, const void* data);
  void* MapBuffer(GLenum target, GLenum access);
  GLboolean UnmapBuffer(GLenum target);

  void DrawArrays(GLenum mode, GLint first, GLsizei count);
  void DrawElements(GLenum mode, GLsizei count, GLenum type, const void* indices);

  void GenTextures(GLsizei n, GLuint* textures) { FGL(GenTextures)(n, textures); }
  void BindTexture(GLenum target, GLuint texture) { FGL(BindTexture)(target, texture); }
  void TexImage2D(GLenum target, GLint level, GLint internalFormat, GLsizei width, GLsizei height,
                  GLint border, GLenum format, GLenum type, const void* pixels);
  void TexParameteri(GLenum target, GLenum pname, GLint param) {
    FGL(TexParameteri)(target, pname, param);
  }
  void GetTexLevelParameteriv(GLenum target, GLint level, GLenum pname, GLint* params);
  void PixelStorei(GLenum pname, GLint param) { FGL(PixelStorei)(pname, param); }

  void Clear(GLbitfield mask) { FGL(Clear)(mask); }
  void ClearColor(GLfloat red, GLfloat green, GLfloat blue, GLfloat alpha) {
    FGL(ClearColor)(red, green, blue, alpha);
  }
  void CullFace(GLenum mode) { FGL(CullFace)(mode); }
  void GetIntegerv(GLenum pname, GLint* data);
  const GLubyte* GetString(GLenum name) { return FGL(GetString)(name); }
  // The first error an emulated call raised since the last GetError, else the backend's.
  GLenum GetError();

  // The ARB shader objects are the ES shader and program objects; one name
  // space holds both, so an object's kind is asked of the backend.
  GLuint CreateProgramObject() { return FGL(CreateProgram)(); }
  GLuint CreateShaderObject(GLenum type) { return FGL(CreateShader)(type); }
  void ShaderSource(GLuint shader, GLsizei count, const GLchar* const* strings,
                    const GLint* lengths) {
    FGL(ShaderSource)(shader, count, strings, lengths);
  }
  void CompileShader(GLuint shader) { FGL(CompileShader)(shader); }
  void AttachObject(GLuint program, GLuint shader) { FGL(AttachShader)(program, shader); }
  void DeleteObject(GLuint object);
  void LinkProgram(GLuint program) { FGL(LinkProgram)(program); }
  // Recorded and made current on the backend; the layer's draws still use its own program.
  void UseProgramObject(GLuint program);
  void GetObjectParameteriv(GLuint object, GLenum pname, GLint* params);
  void GetInfoLog(GLuint object, GLsizei maxLength, GLsizei* length, GLchar* infoLog);

 private:
  void Raise(GLenum error);
  bool SetCapability(GLenum cap, bool on);
  TFixedFunctionState::TMatrix& CurrentMatrix();
  TFixedFunctionState::TLight* LightOf(GLenum light);
  void SetLightScalar(TFixedFunctionState::TLight& light, GLenum pname, GLfloat value);
  TFixedFunctionState::TArray* ArrayOf(GLenum array);
  void SetPointer(TFixedFunctionState::TArray& array, GLint size, GLenum type, GLsizei stride,
                  const void* pointer);
  TFixedFunctionState state_;
  TFixedFunctionProgram program_;
  TBufferObjects buffers_;
  TFixedFunctionDraw draw_;
  unsigned changed_ = TFixedFunctionProgram::CHANGED_ALL;
  GLenum error_ = GL_NO_ERROR;
  GLsizei proxyWidth_ = 0, proxyHeight_ = 0;  // of the last GL_PROXY_TEXTURE_2D level
  GLint maxTextureSize_ = 0;
};
