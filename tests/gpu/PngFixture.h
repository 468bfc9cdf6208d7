#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// A PNG made in memory for tests, so no fixture image is committed. Samples are
// given unpacked, one value per channel of each pixel, rows from the top: the
// writer packs sub-byte depths and stores 16-bit samples big-endian as the file
// format wants.
struct TPngFixture {
  int Width = 1;
  int Height = 1;
  int ColorType = 6;  // a PNG_COLOR_TYPE_* value
  int BitDepth = 8;
  bool Interlaced = false;
  std::vector<std::uint16_t> Samples;  // Width * Height * channels
  std::vector<std::array<std::uint8_t, 3>> Palette;
  std::vector<std::uint8_t> PaletteAlpha;                 // tRNS of a palette image
  std::optional<std::array<std::uint16_t, 3>> ColourKey;  // tRNS of grey (first) or RGB

  std::vector<std::uint8_t> Encode() const;
};

// An 8-bit RGBA image of width x height from its bytes, rows from the top.
TPngFixture RgbaPng(int width, int height, const std::vector<std::uint8_t>& rgba);

// Writes `bytes` to `path`.
void WriteFile(const std::string& path, const std::vector<std::uint8_t>& bytes);
