#pragma once

#include <GL/glew.h>

#include <cstdint>
#include <cstdlib>
#include <ostream>

// One pixel of the colour buffer being drawn.
struct TPixel {
  std::uint8_t R = 0, G = 0, B = 0, A = 0;

  bool operator==(const TPixel&) const = default;
  friend std::ostream& operator<<(std::ostream& out, const TPixel& p) {
    return out << "(" << int{p.R} << ", " << int{p.G} << ", " << int{p.B} << ", " << int{p.A}
               << ")";
  }
};

// (x, y) in window pixels from the bottom left.
inline TPixel ReadPixel(int x, int y) {
  std::uint8_t rgba[4] = {};
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glReadPixels(x, y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, rgba);
  return {rgba[0], rgba[1], rgba[2], rgba[3]};
}

// Red, green and blue within `tolerance`: rasterisers differ in the last bit.
inline bool Near(const TPixel& a, const TPixel& b, int tolerance = 2) {
  return std::abs(a.R - b.R) <= tolerance && std::abs(a.G - b.G) <= tolerance &&
         std::abs(a.B - b.B) <= tolerance;
}
