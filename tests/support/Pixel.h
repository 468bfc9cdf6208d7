#pragma once

#include <cstdint>
#include <cstdlib>
#include <ostream>

// One pixel of a colour buffer, 8 bits per channel.
struct TPixel {
  std::uint8_t R = 0, G = 0, B = 0, A = 0;

  bool operator==(const TPixel&) const = default;
  friend std::ostream& operator<<(std::ostream& out, const TPixel& p) {
    return out << "(" << int{p.R} << ", " << int{p.G} << ", " << int{p.B} << ", " << int{p.A}
               << ")";
  }
};

// Red, green and blue within `tolerance`: rasterisers differ in the last bit.
inline bool Near(const TPixel& a, const TPixel& b, int tolerance = 2) {
  return std::abs(a.R - b.R) <= tolerance && std::abs(a.G - b.G) <= tolerance &&
         std::abs(a.B - b.B) <= tolerance;
}
