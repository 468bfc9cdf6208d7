#include "tools/AOAtlasPainter.h"

#include <algorithm>

namespace {

// Lengths are in half pixels, so pixel centres lie on integers: the tile spans
// [0, kSpan] on both axes and pixel p has its centre at 2p + 1.
constexpr std::int64_t kSpan = 2 * TAOAtlasPainter::TILE_SIZE;
// Fall-off distance of one cell's darkening, in 1/16 half pixels.
constexpr std::int64_t kRadius = kSpan * 3 / 4 * 16;
constexpr std::int64_t kRadiusSquared = kRadius * kRadius;
// Darkening = kDarkest * A / (A + kKnee), with A the summed weights of the solid
// cells (kRadiusSquared = one cell touching the pixel). One edge cell gives
// about 62 % brightness at the border, an inner corner about 45 %.
constexpr std::int64_t kDarkest = 180;
constexpr std::int64_t kKnee = kRadiusSquared * 864 / 1000;

struct TSquare {
  std::int64_t Left, Top;  // in half pixels; each cell is kSpan wide
};

// The cells of bits 0..7 around the tile [0, kSpan]^2, y down.
constexpr TSquare kCells[8] = {{-kSpan, -kSpan}, {0, -kSpan},     {kSpan, -kSpan}, {-kSpan, 0},
                               {kSpan, 0},       {-kSpan, kSpan}, {0, kSpan},      {kSpan, kSpan}};

std::int64_t ISqrt(std::int64_t n) {
  std::int64_t root = 0;
  std::int64_t bit = std::int64_t{1} << 62;
  while (bit > n) bit >>= 2;
  while (bit != 0) {
    if (n >= root + bit) {
      n -= root + bit;
      root = (root >> 1) + bit;
    } else {
      root >>= 1;
    }
    bit >>= 2;
  }
  return root;
}

std::int64_t AxisGap(std::int64_t from, std::int64_t at) {
  return std::max<std::int64_t>({0, from - at, at - (from + kSpan)});
}

// Smoothstep of the distance from the pixel centre (u, v) to the cell, 1 at
// the cell and 0 from kRadius on, scaled by kRadiusSquared.
std::int64_t Weight(const TSquare& cell, std::int64_t u, std::int64_t v) {
  const std::int64_t du = AxisGap(cell.Left, u);
  const std::int64_t dv = AxisGap(cell.Top, v);
  const std::int64_t distance = ISqrt((du * du + dv * dv) * 256);
  const std::int64_t q = std::max<std::int64_t>(0, kRadius - distance);
  return q * q * (3 * kRadius - 2 * q) / kRadius;
}

}  // namespace

std::uint8_t TAOAtlasPainter::Brightness(int mask, int x, int y) {
  const std::int64_t u = 2 * x + 1;
  const std::int64_t v = 2 * y + 1;
  std::int64_t occlusion = 0;
  for (int bit = 0; bit < 8; ++bit) {
    if ((mask >> bit) & 1) occlusion += Weight(kCells[bit], u, v);
  }
  const std::int64_t dark = kDarkest * occlusion / (occlusion + kKnee);
  return static_cast<std::uint8_t>(std::max<std::int64_t>(MIN_BRIGHTNESS, 255 - dark));
}

TImage TAOAtlasPainter::Paint() {
  TImage image;
  image.Width = image.Height = TILE_SIZE * TILES_PER_SIDE;
  image.Pixels.resize(static_cast<std::size_t>(image.Width) * image.Height * 4);
  for (int mask = 0; mask < TILES_PER_SIDE * TILES_PER_SIDE; ++mask) {
    const int left = mask % TILES_PER_SIDE * TILE_SIZE;
    const int top = mask / TILES_PER_SIDE * TILE_SIZE;
    for (int y = 0; y < TILE_SIZE; ++y) {
      for (int x = 0; x < TILE_SIZE; ++x) {
        const std::uint8_t grey = Brightness(mask, x, y);
        std::uint8_t* pixel = image.PixelAt(left + x, top + y);
        pixel[0] = pixel[1] = pixel[2] = grey;
        pixel[3] = 255;
      }
    }
  }
  return image;
}
