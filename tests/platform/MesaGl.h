#pragma once

#include <GL/glew.h>

// The context's own fixed-function OpenGL (Mesa's, in the tests) behind the
// method names of TFixedFunctionGl, so that one scene template draws through
// either. Buffer calls use the ARB entry points, as the program does.
struct TMesaGl {
  void Enable(GLenum cap) { glEnable(cap); }
  void Disable(GLenum cap) { glDisable(cap); }
  void EnableClientState(GLenum array) { glEnableClientState(array); }
  void DisableClientState(GLenum array) { glDisableClientState(array); }
  void ShadeModel(GLenum mode) { glShadeModel(mode); }
  void MatrixMode(GLenum mode) { glMatrixMode(mode); }
  void LoadIdentity() { glLoadIdentity(); }
  void LoadMatrixf(const GLfloat* m) { glLoadMatrixf(m); }
  void MultMatrixf(const GLfloat* m) { glMultMatrixf(m); }
  void Lightf(GLenum light, GLenum pname, GLfloat param) { glLightf(light, pname, param); }
  void Lightfv(GLenum light, GLenum pname, const GLfloat* params) {
    glLightfv(light, pname, params);
  }
  void Fogf(GLenum pname, GLfloat param) { glFogf(pname, param); }
  void Fogi(GLenum pname, GLint param) { glFogi(pname, param); }
  void Fogfv(GLenum pname, const GLfloat* params) { glFogfv(pname, params); }
  void VertexPointer(GLint size, GLenum type, GLsizei stride, const void* pointer) {
    glVertexPointer(size, type, stride, pointer);
  }
  void NormalPointer(GLenum type, GLsizei stride, const void* pointer) {
    glNormalPointer(type, stride, pointer);
  }
  void ColorPointer(GLint size, GLenum type, GLsizei stride, const void* pointer) {
    glColorPointer(size, type, stride, pointer);
  }
  void TexCoordPointer(GLint size, GLenum type, GLsizei stride, const void* pointer) {
    glTexCoordPointer(size, type, stride, pointer);
  }
  void ClientActiveTexture(GLenum texture) { glClientActiveTexture(texture); }
  void ActiveTexture(GLenum texture) { glActiveTexture(texture); }
  void GenBuffers(GLsizei n, GLuint* buffers) { glGenBuffers(n, buffers); }
  void DeleteBuffers(GLsizei n, const GLuint* buffers) { glDeleteBuffersARB(n, buffers); }
  void BindBuffer(GLenum target, GLuint buffer) { glBindBufferARB(target, buffer); }
  void BufferData(GLenum target, GLsizeiptr size, const void* data, GLenum usage) {
    glBufferDataARB(target, size, data, usage);
  }
  void BufferSubData(GLenum target, GLintptr offset, GLsizeiptr size, const void* data) {
    glBufferSubDataARB(target, offset, size, data);
  }
  void* MapBuffer(GLenum target, GLenum access) { return glMapBufferARB(target, access); }
  GLboolean UnmapBuffer(GLenum target) { return glUnmapBufferARB(target); }
  void DrawArrays(GLenum mode, GLint first, GLsizei count) { glDrawArrays(mode, first, count); }
  void DrawElements(GLenum mode, GLsizei count, GLenum type, const void* indices) {
    glDrawElements(mode, count, type, indices);
  }
  void GenTextures(GLsizei n, GLuint* textures) { glGenTextures(n, textures); }
  void BindTexture(GLenum target, GLuint texture) { glBindTexture(target, texture); }
  void TexImage2D(GLenum target, GLint level, GLint internalFormat, GLsizei width, GLsizei height,
                  GLint border, GLenum format, GLenum type, const void* pixels) {
    glTexImage2D(target, level, internalFormat, width, height, border, format, type, pixels);
  }
  void TexParameteri(GLenum target, GLenum pname, GLint param) {
    glTexParameteri(target, pname, param);
  }
  void GetTexLevelParameteriv(GLenum target, GLint level, GLenum pname, GLint* params) {
    glGetTexLevelParameteriv(target, level, pname, params);
  }
  void PixelStorei(GLenum pname, GLint param) { glPixelStorei(pname, param); }
  void Clear(GLbitfield mask) { glClear(mask); }
  void ClearColor(GLfloat r, GLfloat g, GLfloat b, GLfloat a) { glClearColor(r, g, b, a); }
  void CullFace(GLenum mode) { glCullFace(mode); }
  void GetIntegerv(GLenum pname, GLint* data) { glGetIntegerv(pname, data); }
  GLenum GetError() { return glGetError(); }
};
