#include "platform/fixedgl/BufferObjects.h"

#include <cstring>

namespace {

bool IsUsage(GLenum usage) {
  switch (usage) {
    case GL_STREAM_DRAW:
    case GL_STREAM_READ:
    case GL_STREAM_COPY:
    case GL_STATIC_DRAW:
    case GL_STATIC_READ:
    case GL_STATIC_COPY:
    case GL_DYNAMIC_DRAW:
    case GL_DYNAMIC_READ:
    case GL_DYNAMIC_COPY:
      return true;
    default:
      return false;
  }
}

bool IsKept(GLenum target) {
  return target == GL_ARRAY_BUFFER || target == GL_ELEMENT_ARRAY_BUFFER;
}

}  // namespace

GLenum TBufferObjects::Data(GLenum target, GLuint bound, GLsizeiptr size, const void* data,
                            GLenum usage) {
  if (!IsKept(target)) {
    FGL(BufferData)(target, size, data, usage);
    return GL_NO_ERROR;
  }
  if (size < 0) return GL_INVALID_VALUE;
  if (!IsUsage(usage)) return GL_INVALID_ENUM;
  if (bound == 0) return GL_INVALID_OPERATION;
  TBuffer& buffer = buffers_[bound];
  // A new store ends a mapping, as in OpenGL.
  buffer = TBuffer{};
  buffer.Size = size;
  if (target == GL_ARRAY_BUFFER) {
    FGL(BufferData)(target, size, data, usage);
  } else {
    buffer.Copy.assign(static_cast<std::size_t>(size), 0);
    if (data != nullptr && size > 0) std::memcpy(buffer.Copy.data(), data, buffer.Copy.size());
  }
  return GL_NO_ERROR;
}

GLenum TBufferObjects::SubData(GLenum target, GLuint bound, GLintptr offset, GLsizeiptr size,
                               const void* data) {
  if (!IsKept(target)) {
    FGL(BufferSubData)(target, offset, size, data);
    return GL_NO_ERROR;
  }
  if (bound == 0) return GL_INVALID_OPERATION;
  TBuffer& buffer = buffers_[bound];
  if (offset < 0 || size < 0 || offset > buffer.Size || size > buffer.Size - offset) {
    return GL_INVALID_VALUE;
  }
  if (buffer.Mapped) return GL_INVALID_OPERATION;
  if (target == GL_ARRAY_BUFFER) {
    FGL(BufferSubData)(target, offset, size, data);
  } else if (size > 0) {
    std::memcpy(buffer.Copy.data() + offset, data, static_cast<std::size_t>(size));
  }
  return GL_NO_ERROR;
}

void* TBufferObjects::Map(GLenum target, GLuint bound, GLenum access, GLenum& error) {
  error = GL_NO_ERROR;
  if (!IsKept(target)) {
    error = GL_INVALID_ENUM;
    return nullptr;
  }
  if (access != GL_READ_ONLY && access != GL_WRITE_ONLY && access != GL_READ_WRITE) {
    error = GL_INVALID_ENUM;
    return nullptr;
  }
  auto found = buffers_.find(bound);
  // A zero-sized store cannot be mapped, as in OpenGL.
  if (bound == 0 || found == buffers_.end() || found->second.Mapped || found->second.Size == 0) {
    error = GL_INVALID_OPERATION;
    return nullptr;
  }
  TBuffer& buffer = found->second;
  if (target == GL_ARRAY_BUFFER) {
    buffer.Copy.assign(static_cast<std::size_t>(buffer.Size), 0);
    if (access != GL_WRITE_ONLY) {
      FGL(GetBufferSubData)(target, 0, buffer.Size, buffer.Copy.data());
    }
  }
  buffer.Mapped = true;
  buffer.Access = access;
  return buffer.Copy.data();
}

GLenum TBufferObjects::Unmap(GLenum target, GLuint bound) {
  if (!IsKept(target)) return GL_INVALID_ENUM;
  auto found = buffers_.find(bound);
  if (bound == 0 || found == buffers_.end() || !found->second.Mapped) return GL_INVALID_OPERATION;
  TBuffer& buffer = found->second;
  buffer.Mapped = false;
  if (target == GL_ARRAY_BUFFER) {
    if (buffer.Access != GL_READ_ONLY && buffer.Size > 0) {
      FGL(BufferSubData)(target, 0, buffer.Size, buffer.Copy.data());
    }
    std::vector<std::uint8_t>().swap(buffer.Copy);
  }
  return GL_NO_ERROR;
}

void TBufferObjects::Forget(GLsizei n, const GLuint* names) {
  for (GLsizei i = 0; i < n; ++i) buffers_.erase(names[i]);
}

const std::vector<std::uint8_t>* TBufferObjects::Elements(GLuint name) const {
  auto found = buffers_.find(name);
  if (found == buffers_.end() || found->second.Mapped) return nullptr;
  return &found->second.Copy;
}
