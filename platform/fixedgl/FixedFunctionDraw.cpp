#include "platform/fixedgl/FixedFunctionDraw.h"

#include <algorithm>
#include <cstring>
#include <string>

#include "platform/FatalError.h"
#include "platform/fixedgl/FixedFunctionShader.h"

namespace {

using TArray = TFixedFunctionState::TArray;

constexpr GLfloat kCurrentNormal[4] = {0, 0, 1, 1};
constexpr GLfloat kCurrentColor[4] = {1, 1, 1, 1};
constexpr GLfloat kCurrentTexCoord[4] = {0, 0, 0, 1};

GLsizei TypeSize(GLenum type) {
  switch (type) {
    case GL_BYTE:
    case GL_UNSIGNED_BYTE:
      return 1;
    case GL_SHORT:
    case GL_UNSIGNED_SHORT:
    case GL_HALF_FLOAT:
      return 2;
    default:
      return 4;
  }
}

// One client array as attribute `location`, or its current value where it is off.
void Attribute(GLuint location, const TArray& array, bool normalized, GLint first,
               const GLfloat (&current)[4]) {
  if (!array.Enabled) {
    FGL(DisableVertexAttribArray)(location);
    FGL(VertexAttrib4f)(location, current[0], current[1], current[2], current[3]);
    return;
  }
  if (array.Buffer == 0) {
    FatalError("fixed-function layer: an array in client memory; only buffer objects are drawn\n");
  }
  const GLsizei stride = array.Stride != 0 ? array.Stride : array.Size * TypeSize(array.Type);
  const std::intptr_t offset = array.Offset + static_cast<std::intptr_t>(first) * stride;
  FGL(BindBuffer)(GL_ARRAY_BUFFER, array.Buffer);
  FGL(VertexAttribPointer)
  (location, array.Size, array.Type, normalized && array.Type != GL_FLOAT ? GL_TRUE : GL_FALSE,
   array.Stride, reinterpret_cast<const void*>(offset));
  FGL(EnableVertexAttribArray)(location);
}

}  // namespace

TFixedFunctionDraw::TFixedFunctionDraw() {
  FGL(GenVertexArrays)(1, &vertexArray_);
  FGL(GenBuffers)(1, &pattern_);
  FGL(GenBuffers)(1, &expandedBuffer_);
}

TFixedFunctionDraw::~TFixedFunctionDraw() {
  const GLuint buffers[2] = {pattern_, expandedBuffer_};
  FGL(DeleteBuffers)(2, buffers);
  FGL(DeleteVertexArrays)(1, &vertexArray_);
}

bool TFixedFunctionDraw::Begin(TFixedFunctionProgram& program, const TFixedFunctionState& state,
                               unsigned& changed, GLint first) {
  if (!state.Vertex.Enabled) return false;
  FGL(UseProgram)(program.Name());
  program.Upload(state, changed);
  changed = 0;
  FGL(BindVertexArray)(vertexArray_);
  using namespace FixedFunctionShader;
  Attribute(POSITION, state.Vertex, false, first, kCurrentTexCoord);
  Attribute(NORMAL, state.Normal, true, first, kCurrentNormal);
  Attribute(COLOR, state.Color, true, first, kCurrentColor);
  for (int unit = 0; unit < TEXTURE_UNITS; ++unit) {
    Attribute(TEXCOORD0 + unit, state.TexCoord[unit], false, first, kCurrentTexCoord);
  }
  return true;
}

void TFixedFunctionDraw::End(const TFixedFunctionState& state) {
  FGL(BindVertexArray)(0);
  FGL(BindBuffer)(GL_ARRAY_BUFFER, state.ArrayBuffer);
  FGL(UseProgram)(state.Program);
}

void TFixedFunctionDraw::ReservePattern(std::size_t quads) {
  if (quads <= patternQuads_) return;
  patternQuads_ = std::max(quads, patternQuads_ * 2);
  std::vector<std::uint32_t> indices(patternQuads_ * 6);
  for (std::size_t q = 0; q < patternQuads_; ++q) {
    for (int i = 0; i < 6; ++i)
      indices[q * 6 + i] = static_cast<std::uint32_t>(4 * q) + ARRAY_QUAD[i];
  }
  FGL(BufferData)
  (GL_ELEMENT_ARRAY_BUFFER, static_cast<GLsizeiptr>(indices.size() * sizeof(std::uint32_t)),
   indices.data(), GL_STATIC_DRAW);
}

GLenum TFixedFunctionDraw::DrawArrays(TFixedFunctionProgram& program,
                                      const TFixedFunctionState& state, unsigned& changed,
                                      GLenum mode, GLint first, GLsizei count) {
  if (first < 0 || count < 0) return GL_INVALID_VALUE;
  if (mode != GL_QUADS) {
    if (Begin(program, state, changed, 0)) FGL(DrawArrays)(mode, first, count);
    End(state);
    return GL_NO_ERROR;
  }
  const std::size_t quads = static_cast<std::size_t>(count / 4);
  // The pattern counts from vertex 0, so the arrays start at `first` instead.
  if (quads > 0 && Begin(program, state, changed, first)) {
    FGL(BindBuffer)(GL_ELEMENT_ARRAY_BUFFER, pattern_);
    ReservePattern(quads);
    FGL(DrawElements)(GL_TRIANGLES, static_cast<GLsizei>(quads * 6), GL_UNSIGNED_INT, nullptr);
  }
  End(state);
  return GL_NO_ERROR;
}

GLenum TFixedFunctionDraw::DrawElements(TFixedFunctionProgram& program,
                                        const TFixedFunctionState& state, unsigned& changed,
                                        const std::vector<std::uint8_t>* elements, GLenum mode,
                                        GLsizei count, GLenum type, std::intptr_t offset) {
  if (count < 0) return GL_INVALID_VALUE;
  if (type != GL_UNSIGNED_BYTE && type != GL_UNSIGNED_SHORT && type != GL_UNSIGNED_INT) {
    return GL_INVALID_ENUM;
  }
  if (state.ElementArrayBuffer == 0) {
    FatalError("fixed-function layer: indices in client memory; only buffer objects are drawn\n");
  }
  if (elements == nullptr) return GL_INVALID_OPERATION;  // mapped
  const std::size_t size = static_cast<std::size_t>(TypeSize(type));
  const std::size_t used =
      mode == GL_QUADS ? static_cast<std::size_t>(count / 4 * 4) : static_cast<std::size_t>(count);
  if (offset < 0 || static_cast<std::size_t>(offset) > elements->size() ||
      used * size > elements->size() - static_cast<std::size_t>(offset)) {
    return GL_INVALID_OPERATION;
  }
  const std::uint8_t* source = elements->data() + offset;
  auto index = [&](std::size_t i) -> std::uint32_t {
    if (size == 1) return source[i];
    if (size == 2) {
      std::uint16_t value;
      std::memcpy(&value, source + i * 2, 2);
      return value;
    }
    std::uint32_t value;
    std::memcpy(&value, source + i * 4, 4);
    return value;
  };
  expanded_.clear();
  if (mode == GL_QUADS) {
    for (std::size_t q = 0; q < used / 4; ++q) {
      for (std::uint32_t corner : ELEMENT_QUAD) expanded_.push_back(index(4 * q + corner));
    }
  } else {
    for (std::size_t i = 0; i < used; ++i) expanded_.push_back(index(i));
  }
  if (!expanded_.empty() && Begin(program, state, changed, 0)) {
    FGL(BindBuffer)(GL_ELEMENT_ARRAY_BUFFER, expandedBuffer_);
    FGL(BufferData)
    (GL_ELEMENT_ARRAY_BUFFER, static_cast<GLsizeiptr>(expanded_.size() * sizeof(std::uint32_t)),
     expanded_.data(), GL_STREAM_DRAW);
    FGL(DrawElements)
    (mode == GL_QUADS ? GL_TRIANGLES : mode, static_cast<GLsizei>(expanded_.size()),
     GL_UNSIGNED_INT, nullptr);
  }
  End(state);
  return GL_NO_ERROR;
}
