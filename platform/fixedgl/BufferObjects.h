#pragma once

#include <cstdint>
#include <unordered_map>
#include <vector>

#include "platform/fixedgl/GlBackend.h"

// The program's buffer objects as the fixed-function layer keeps them.
// GL_ARRAY_BUFFER data lives on the backend; a CPU copy exists only while the
// buffer is mapped, since WebGL cannot map (MapBuffer hands out the copy,
// UnmapBuffer uploads it). GL_ELEMENT_ARRAY_BUFFER data lives only in a CPU
// copy: quads are expanded to triangles from it at every draw, and a WebGL
// buffer, once bound to one of the two targets, may never go to the other.
// Other targets go to the backend unchanged. Each call returns the OpenGL
// error it raises, GL_NO_ERROR when none; `bound` is the name the program has
// bound to `target`.
class TBufferObjects {
 public:
  GLenum Data(GLenum target, GLuint bound, GLsizeiptr size, const void* data, GLenum usage);
  GLenum SubData(GLenum target, GLuint bound, GLintptr offset, GLsizeiptr size, const void* data);
  // Null, with `error` set, when the buffer cannot be mapped.
  void* Map(GLenum target, GLuint bound, GLenum access, GLenum& error);
  GLenum Unmap(GLenum target, GLuint bound);
  // Forgets the names (their backend buffers are deleted by the caller).
  void Forget(GLsizei n, const GLuint* names);

  // The element data of buffer `name`: null if it has none or is mapped.
  const std::vector<std::uint8_t>* Elements(GLuint name) const;

 private:
  struct TBuffer {
    GLsizeiptr Size = 0;
    std::vector<std::uint8_t> Copy;  // element buffers always; array buffers while mapped
    bool Mapped = false;
    GLenum Access = 0;
  };

  std::unordered_map<GLuint, TBuffer> buffers_;
};
