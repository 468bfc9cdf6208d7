#pragma once

#include <cassert>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <vector>

// An 8-bit RGBA image in memory: rows from the top row of the file down,
// R, G, B, A bytes per pixel, rows tightly packed (pitch = Width * 4 bytes).
// No OpenGL here, so decoding and resampling can be tested and fuzzed without a
// context.
class TImage {
 public:
  // Larger images are refused when decoding: they would not fit any texture.
  static constexpr int MAX_DIMENSION = 8192;

  int Width = 0;
  int Height = 0;
  std::vector<std::uint8_t> Pixels;  // Width * Height * 4 bytes

  // Decodes a PNG file of any colour type and bit depth into 8-bit RGBA (an
  // image without alpha becomes opaque). Missing, unreadable, truncated or
  // corrupt files give nullopt; libpng errors never end the program.
  static std::optional<TImage> LoadPng(const std::string& path);
  static std::optional<TImage> DecodePng(std::span<const std::uint8_t> bytes);
  // Writes an 8-bit RGBA PNG; false if the file cannot be written.
  bool SavePng(const std::string& path) const;

  // Bilinear resampling to width x height (both >= 1).
  TImage Resampled(int width, int height) const;

  // The levels of a texture made from `image` (at least 1 x 1), level 0 first.
  // Level 0 takes the smallest power of two not below each dimension; while
  // `accepts(width, height)` refuses that size, each dimension above 1 is
  // halved. Every further level halves the one before (bilinear) down to 1 x 1.
  // Empty if not even 1 x 1 is accepted.
  static std::vector<TImage> TextureLevels(TImage image,
                                           const std::function<bool(int, int)>& accepts);

  // The smallest power of two >= n, for n >= 1.
  static int CeilPowerOfTwo(int n);

  // The R byte of pixel (x, y), 0 <= x < Width, 0 <= y < Height, from the top left.
  std::uint8_t* PixelAt(int x, int y) { return &Pixels[PixelOffset(x, y)]; }
  const std::uint8_t* PixelAt(int x, int y) const { return &Pixels[PixelOffset(x, y)]; }

 private:
  std::size_t PixelOffset(int x, int y) const {
    assert(x >= 0 && x < Width && y >= 0 && y < Height);
    return (static_cast<std::size_t>(y) * Width + x) * 4;
  }
};
