// The program's gl* names on the web, each a C definition with the signature
// Emscripten's <GL/glew.h> declares, forwarding to one TFixedFunctionGl. They
// take the place of Emscripten's JS library functions of the same names; the
// layer itself reaches WebGL through the emscripten_gl* functions. These are
// exactly the calls app/, scene/ and gpu/ make, plus glGetError, so that the
// layer's own errors can be asked for. In the native build through the layer
// (VOXEL_GL=fixed) the same definitions are named FixedGl_gl* by
// platform/fixedgl/native/GL/glew.h, which the program includes there.
//
// The layer's header comes first: its inline calls of the backend must be
// read before any redirection of gl* names.
#include "platform/fixedgl/FixedFunctionGl.h"

#include <GL/glew.h>

namespace {

// Made at the first call, when the window's context is current. It lives as
// long as the page: nothing destroys it.
TFixedFunctionGl& Gl() {
  static TFixedFunctionGl gl;
  return gl;
}

}  // namespace

extern "C" {

void glEnable(GLenum cap) {
  Gl().Enable(cap);
}
void glDisable(GLenum cap) {
  Gl().Disable(cap);
}
void glEnableClientState(GLenum cap) {
  Gl().EnableClientState(cap);
}
void glDisableClientState(GLenum cap) {
  Gl().DisableClientState(cap);
}
void glShadeModel(GLenum mode) {
  Gl().ShadeModel(mode);
}

void glMatrixMode(GLenum mode) {
  Gl().MatrixMode(mode);
}
void glLoadIdentity(void) {
  Gl().LoadIdentity();
}
void glLoadMatrixf(const GLfloat* m) {
  Gl().LoadMatrixf(m);
}
void glMultMatrixf(const GLfloat* m) {
  Gl().MultMatrixf(m);
}

void glLightf(GLenum light, GLenum pname, GLfloat param) {
  Gl().Lightf(light, pname, param);
}
void glLightfv(GLenum light, GLenum pname, const GLfloat* params) {
  Gl().Lightfv(light, pname, params);
}
void glFogf(GLenum pname, GLfloat param) {
  Gl().Fogf(pname, param);
}
void glFogi(GLenum pname, GLint param) {
  Gl().Fogi(pname, param);
}
void glFogfv(GLenum pname, const GLfloat* params) {
  Gl().Fogfv(pname, params);
}

void glVertexPointer(GLint size, GLenum type, GLsizei stride, const GLvoid* ptr) {
  Gl().VertexPointer(size, type, stride, ptr);
}
void glNormalPointer(GLenum type, GLsizei stride, const GLvoid* ptr) {
  Gl().NormalPointer(type, stride, ptr);
}
void glColorPointer(GLint size, GLenum type, GLsizei stride, const GLvoid* ptr) {
  Gl().ColorPointer(size, type, stride, ptr);
}
void glTexCoordPointer(GLint size, GLenum type, GLsizei stride, const GLvoid* ptr) {
  Gl().TexCoordPointer(size, type, stride, ptr);
}
void glClientActiveTexture(GLenum texture) {
  Gl().ClientActiveTexture(texture);
}
void glActiveTexture(GLenum texture) {
  Gl().ActiveTexture(texture);
}

void glGenBuffers(GLsizei n, GLuint* buffers) {
  Gl().GenBuffers(n, buffers);
}
void glDeleteBuffersARB(GLsizei n, const GLuint* buffers) {
  Gl().DeleteBuffers(n, buffers);
}
void glBindBufferARB(GLenum target, GLuint buffer) {
  Gl().BindBuffer(target, buffer);
}
void glBufferDataARB(GLenum target, GLsizeiptrARB size, const void* data, GLenum usage) {
  Gl().BufferData(target, size, data, usage);
}
void glBufferSubDataARB(GLenum target, GLintptrARB offset, GLsizeiptrARB size, const void* data) {
  Gl().BufferSubData(target, offset, size, data);
}
void* glMapBufferARB(GLenum target, GLenum access) {
  return Gl().MapBuffer(target, access);
}
GLboolean glUnmapBufferARB(GLenum target) {
  return Gl().UnmapBuffer(target);
}

void glDrawArrays(GLenum mode, GLint first, GLsizei count) {
  Gl().DrawArrays(mode, first, count);
}
void glDrawElements(GLenum mode, GLsizei count, GLenum type, const GLvoid* indices) {
  Gl().DrawElements(mode, count, type, indices);
}

void glGenTextures(GLsizei n, GLuint* textures) {
  Gl().GenTextures(n, textures);
}
void glBindTexture(GLenum target, GLuint texture) {
  Gl().BindTexture(target, texture);
}
void glTexImage2D(GLenum target, GLint level, GLint internalFormat, GLsizei width, GLsizei height,
                  GLint border, GLenum format, GLenum type, const GLvoid* pixels) {
  Gl().TexImage2D(target, level, internalFormat, width, height, border, format, type, pixels);
}
void glTexParameteri(GLenum target, GLenum pname, GLint param) {
  Gl().TexParameteri(target, pname, param);
}
void glGetTexLevelParameteriv(GLenum target, GLint level, GLenum pname, GLint* params) {
  Gl().GetTexLevelParameteriv(target, level, pname, params);
}
void glPixelStorei(GLenum pname, GLint param) {
  Gl().PixelStorei(pname, param);
}

void glClear(GLbitfield mask) {
  Gl().Clear(mask);
}
void glClearColor(GLclampf red, GLclampf green, GLclampf blue, GLclampf alpha) {
  Gl().ClearColor(red, green, blue, alpha);
}
void glCullFace(GLenum mode) {
  Gl().CullFace(mode);
}
void glGetIntegerv(GLenum pname, GLint* params) {
  Gl().GetIntegerv(pname, params);
}
const GLubyte* glGetString(GLenum name) {
  return Gl().GetString(name);
}
GLenum glGetError(void) {
  return Gl().GetError();
}

GLhandleARB glCreateProgramObjectARB(void) {
  return Gl().CreateProgramObject();
}
GLhandleARB glCreateShaderObjectARB(GLenum shaderType) {
  return Gl().CreateShaderObject(shaderType);
}
void glShaderSourceARB(GLhandleARB shaderObj, GLsizei count, const GLcharARB** string,
                       const GLint* length) {
  Gl().ShaderSource(shaderObj, count, string, length);
}
void glCompileShaderARB(GLhandleARB shaderObj) {
  Gl().CompileShader(shaderObj);
}
void glAttachObjectARB(GLhandleARB containerObj, GLhandleARB obj) {
  Gl().AttachObject(containerObj, obj);
}
void glDeleteObjectARB(GLhandleARB obj) {
  Gl().DeleteObject(obj);
}
void glLinkProgramARB(GLhandleARB programObj) {
  Gl().LinkProgram(programObj);
}
void glUseProgramObjectARB(GLhandleARB programObj) {
  Gl().UseProgramObject(programObj);
}
void glGetObjectParameterivARB(GLhandleARB obj, GLenum pname, GLint* params) {
  Gl().GetObjectParameteriv(obj, pname, params);
}
void glGetInfoLogARB(GLhandleARB obj, GLsizei maxLength, GLsizei* length, GLcharARB* infoLog) {
  Gl().GetInfoLog(obj, maxLength, length, infoLog);
}

}  // extern "C"
