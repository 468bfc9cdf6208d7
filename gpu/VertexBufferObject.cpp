#include "gpu/VertexBufferObject.h"

#include <GL/glew.h>

TVertexBufferObject::~TVertexBufferObject() {
  const GLuint names[1] = {BufferID};
  glDeleteBuffersARB(1, names);
}

std::shared_ptr<TVertexBufferObject> TVertexBufferObject::Create(int kind) {
  auto buffer = std::make_shared<TVertexBufferObject>(TKey{});
  glGenBuffers(1, &buffer->BufferID);
  buffer->Kind = kind;
  return buffer;
}

void TVertexBufferObject::Bind() {
  glBindBufferARB(GLTarget[Kind], BufferID);
}

void TVertexBufferObject::Map(int access) {
  DataPointer = glMapBufferARB(GLTarget[Kind], GLAccess[access]);
}

void TVertexBufferObject::UnMap() {
  glUnmapBufferARB(GLTarget[Kind]);
  DataPointer = nullptr;
}

void TVertexBufferObject::SetUsage(int frequency, int nature) {
  Usage = GLUsage[frequency][nature];
}

void TVertexBufferObject::BufferData(std::int64_t size, const void* data) {
  DataBuffered = size;
  glBufferDataARB(GLTarget[Kind], static_cast<GLsizeiptrARB>(size), data, Usage);
}

void TVertexBufferObject::BufferSubData(std::int64_t offset, std::int64_t size, const void* data) {
  glBufferSubDataARB(GLTarget[Kind], static_cast<GLintptrARB>(offset),
                     static_cast<GLsizeiptrARB>(size), data);
}
