#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/fixedgl/FixedFunctionProgram.h"
#include "platform/fixedgl/FixedFunctionState.h"

// The draws of the fixed-function layer: the client arrays become the
// attributes of the layer's program in a vertex array of its own, and quads
// become triangles through index buffers of its own (32-bit, since a chunk may
// hold more than 65535 vertices). The program's bindings are back on the
// backend after every draw. Each call returns the OpenGL error it raises.
class TFixedFunctionDraw {
 public:
  // The corners of quad q's two triangles are 4q + ARRAY_QUAD[i] in DrawArrays
  // and index 4q + ELEMENT_QUAD[i] in DrawElements. The diagonal decides how
  // the corners' colours blend, and Mesa takes the first corner to the third
  // for arrays but the second to the fourth for indices; both splits keep the
  // quad's winding.
  static constexpr std::uint32_t ARRAY_QUAD[6] = {0, 1, 2, 0, 2, 3};
  static constexpr std::uint32_t ELEMENT_QUAD[6] = {0, 1, 3, 1, 2, 3};

  TFixedFunctionDraw();
  ~TFixedFunctionDraw();
  TFixedFunctionDraw(const TFixedFunctionDraw&) = delete;
  TFixedFunctionDraw& operator=(const TFixedFunctionDraw&) = delete;

  GLenum DrawArrays(TFixedFunctionProgram& program, const TFixedFunctionState& state,
                    unsigned& changed, GLenum mode, GLint first, GLsizei count);
  // `elements` is the CPU copy of the bound element buffer (null if none).
  GLenum DrawElements(TFixedFunctionProgram& program, const TFixedFunctionState& state,
                      unsigned& changed, const std::vector<std::uint8_t>* elements, GLenum mode,
                      GLsizei count, GLenum type, std::intptr_t offset);

 private:
  // Binds the program, the vertex array and the attributes, offset by `first`
  // vertices; false when there is nothing to draw (no vertex array). Uploads
  // the `changed` parts of the state and clears `changed`.
  bool Begin(TFixedFunctionProgram& program, const TFixedFunctionState& state, unsigned& changed,
             GLint first);
  void End(const TFixedFunctionState& state);
  // Makes the shared quad pattern hold at least `quads` quads.
  void ReservePattern(std::size_t quads);

  GLuint vertexArray_ = 0;
  GLuint pattern_ = 0;  // ARRAY_QUAD for quads 0, 1, 2, ...
  std::size_t patternQuads_ = 0;
  GLuint expandedBuffer_ = 0;  // the indices of one DrawElements
  std::vector<std::uint32_t> expanded_;
};
