#pragma once

// The OpenGL ES 3.0 calls the fixed-function layer is built on, reached as
// FGL(Name)(...). On the web they are Emscripten's emscripten_gl* functions,
// which go straight to WebGL 2 and so stay reachable when the program's own
// gl* names are defined by the layer (GlEntryPoints.cpp). Natively they are
// the core names through GLEW, so the layer runs against Mesa in the tests.
// Only calls that OpenGL ES 3.0 and WebGL 2 both have are used, with one
// exception that FGL_HAS_TEX_LEVEL_QUERY marks.
#ifdef __EMSCRIPTEN__
// The OpenGL 1.x enumerants (GL_LIGHTING, GL_QUADS, ...) come from the desktop
// headers; their functions are never called from the layer.
#include <GL/gl.h>
#include <GL/glext.h>
#include <webgl/webgl1.h>
#include <webgl/webgl2.h>
#define FGL(name) emscripten_gl##name
// WebGL 2 reads a buffer back, which ES 3.0 cannot, and Emscripten gives it no
// emscripten_ name; the layer does not define this gl* name, so it is WebGL's.
extern "C" void glGetBufferSubData(GLenum target, GLintptr offset, GLsizeiptr size, void* data);
#define emscripten_glGetBufferSubData glGetBufferSubData
// Neither ES 3.0 nor WebGL 2 can ask a texture level for its size.
#define FGL_HAS_TEX_LEVEL_QUERY 0
#else
// Asks platform/fixedgl/native/GL/glew.h, when it is on the include path, for
// GLEW's own names: the layer must reach the driver, not itself.
#define VX_FIXEDGL_BACKEND
#include <GL/glew.h>
#undef VX_FIXEDGL_BACKEND
#define FGL(name) gl##name
#define FGL_HAS_TEX_LEVEL_QUERY 1
#endif
