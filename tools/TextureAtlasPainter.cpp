#include "tools/TextureAtlasPainter.h"

#include <algorithm>
#include <cstdint>
#include <functional>

namespace {

constexpr int kTile = TTextureAtlasPainter::TILE_SIZE;

struct TRgb {
  int R, G, B;
};

TRgb operator+(TRgb c, int d) {
  return {c.R + d, c.G + d, c.B + d};
}
TRgb operator+(TRgb a, TRgb b) {
  return {a.R + b.R, a.G + b.G, a.B + b.B};
}

// A full avalanche per input, so neighbouring seeds and coordinates give
// unrelated values even in their low bits.
std::uint32_t Mix(std::uint32_t h) {
  h = (h ^ (h >> 16)) * 0x7FEB352Du;
  h = (h ^ (h >> 15)) * 0x846CA68Bu;
  return h ^ (h >> 16);
}

std::uint32_t Hash(std::uint32_t seed, int x, int y) {
  std::uint32_t h = Mix(seed + 0x9E3779B9u);
  h = Mix(h ^ static_cast<std::uint32_t>(x));
  return Mix(h ^ static_cast<std::uint32_t>(y));
}

// A value in -amount..amount, fresh for every pixel.
int Jitter(std::uint32_t seed, int x, int y, int amount) {
  return static_cast<int>(Hash(seed, x, y) % static_cast<std::uint32_t>(2 * amount + 1)) - amount;
}

// Bilinear value noise in 0..255 on a lattice of `cell` pixels that wraps at
// the tile size, so the tile repeats without a seam. cell divides kTile.
int Smooth(std::uint32_t seed, int x, int y, int cell) {
  const int period = kTile / cell;
  const int i = x / cell, j = y / cell;
  const int fx = x % cell, fy = y % cell;
  auto lattice = [&](int a, int b) {
    return static_cast<int>(
        Hash(seed, (a % period + period) % period, (b % period + period) % period) & 255);
  };
  const int top = lattice(i, j) * (cell - fx) + lattice(i + 1, j) * fx;
  const int bottom = lattice(i, j + 1) * (cell - fx) + lattice(i + 1, j + 1) * fx;
  return (top * (cell - fy) + bottom * fy) / (cell * cell);
}

// An offset between two points of the tile, taken to the nearest copy of the
// second point when the tile repeats: -kTile/2 < result <= kTile/2.
int Wrapped(int offset) {
  offset = (offset % kTile + kTile) % kTile;
  return offset > kTile / 2 ? offset - kTile : offset;
}

class TTile {
 public:
  TTile(TImage& image, int number)
      : Image(image),
        Left((number - 1) % TTextureAtlasPainter::TILES_PER_SIDE * kTile),
        Top((number - 1) / TTextureAtlasPainter::TILES_PER_SIDE * kTile) {}

  void Put(int x, int y, TRgb c) {
    std::uint8_t* p = Image.PixelAt(Left + x, Top + y);
    p[0] = static_cast<std::uint8_t>(std::clamp(c.R, 0, 255));
    p[1] = static_cast<std::uint8_t>(std::clamp(c.G, 0, 255));
    p[2] = static_cast<std::uint8_t>(std::clamp(c.B, 0, 255));
    p[3] = 255;
  }
  void Fill(const std::function<TRgb(int, int)>& paint) {
    for (int y = 0; y < kTile; ++y)
      for (int x = 0; x < kTile; ++x) Put(x, y, paint(x, y));
  }

 private:
  TImage& Image;
  int Left, Top;
};

TRgb Stone(int x, int y) {
  int v = 118 + (Smooth(11, x, y, 4) - 128) / 5 + Jitter(12, x, y, 8);
  const std::uint32_t h = Hash(13, x, y);
  if (h % 19 == 0)
    v -= 24;
  else if (h % 29 == 0)
    v += 16;
  // Faint cracks where a coarser noise crosses its middle.
  const int crack = Smooth(14, x, y, 8);
  if (crack > 124 && crack < 132) v -= 14;
  return {v, v, v + 4};
}

TRgb Dirt(int x, int y) {
  const std::uint32_t h = Hash(21, x, y);
  if (h % 17 == 0) return TRgb{150, 122, 98} + Jitter(22, x, y, 6);
  int shade = (Smooth(23, x, y, 4) - 128) / 7 + Jitter(24, x, y, 8);
  if (h % 7 == 0) shade -= 18;
  return TRgb{122, 86, 58} + shade;
}

TRgb GrassBlade(int x, int y) {
  const int shade = (Smooth(31, x, y, 4) - 128) / 8 + Jitter(32, x, y, 10);
  const std::uint32_t h = Hash(33, x, y);
  TRgb c{88 + shade / 2, 150 + shade, 52 + shade / 2};
  if (h % 6 == 0)
    c = c + TRgb{10, 22, 6};
  else if (h % 9 == 0)
    c = c + TRgb{-12, -22, -8};
  return c;
}

// The side of a block covered with something: `cover` hangs down from the top
// row 4 to 6 pixels deep, with the odd longer drip; dirt below it.
TRgb CoveredSide(int x, int y, std::uint32_t seed, TRgb (*cover)(int, int), TRgb underside) {
  int depth = 4 + static_cast<int>(Hash(seed, x, 0) % 3);
  if (Hash(seed, x, 1) % 4 == 0) depth += 2;
  if (y < depth - 1) return cover(x, y);
  if (y == depth - 1) return underside + Jitter(seed + 1, x, y, 5);
  return Dirt(x, y);
}

TRgb GrassSideUnderside() {
  return {62, 112, 36};
}

TRgb Sand(int x, int y) {
  int shade = (Smooth(51, x, y, 8) - 128) / 10 + Jitter(52, x, y, 6);
  const std::uint32_t h = Hash(53, x, y);
  if (h % 13 == 0)
    shade -= 20;
  else if (h % 19 == 0)
    shade += 12;
  return TRgb{219, 204, 150} + shade;
}

TRgb Water(int x, int y) {
  const int shade = (Smooth(61, x, y, 8) - 128) / 6;
  TRgb c = TRgb{38, 86, 186} + TRgb{shade / 2, shade / 2, shade};
  // Short horizontal ripples, offset row by row.
  const int phase = static_cast<int>(Hash(62, 0, y) % kTile);
  if (y % 4 == 1 && (x + phase) % 8 < 4)
    c = c + TRgb{36, 44, 40};
  else if (y % 4 == 2 && (x + phase + 1) % 8 < 2)
    c = c + TRgb{16, 20, 18};
  return c;
}

TRgb Snow(int x, int y) {
  const std::uint32_t h = Hash(71, x, y);
  if (h % 29 == 0) return {255, 255, 255};
  if (h % 13 == 0) return TRgb{212, 222, 236} + Jitter(72, x, y, 4);
  const int shade = (Smooth(73, x, y, 8) - 128) / 16 + Jitter(74, x, y, 4);
  return TRgb{238, 242, 248} + shade;
}

// Stone with `count` clusters of ore, each a ragged 3 x 3 blob with a shine
// at its upper left.
TRgb Ore(int x, int y, std::uint32_t seed, int count, TRgb ore, TRgb shine) {
  for (int k = 0; k < count; ++k) {
    const int cx = static_cast<int>(Hash(seed, k, 0) % kTile);
    const int cy = static_cast<int>(Hash(seed, k, 1) % kTile);
    const int dx = (x - cx + kTile) % kTile, dy = (y - cy + kTile) % kTile;
    if (dx > 2 || dy > 2) continue;
    if (dx == 0 && dy == 0) return shine;
    if (Hash(seed + 1, x, y) % 4 != 0) return ore + Jitter(seed + 2, x, y, 10);
  }
  return Stone(x, y);
}

// Stones of a Voronoi pattern on the tile's torus: each cell its own tone,
// lighter towards its centre, and a dark joint about `joint` pixels wide where
// two cells meet.
TRgb Pebbles(int x, int y, std::uint32_t seed, int count, int joint, TRgb base, TRgb mortar) {
  struct TSite {
    int Dx, Dy, D2, Index;
  };
  TSite best{0, 0, 1 << 30, 0}, second = best;
  for (int k = 0; k < count; ++k) {
    // Offset from the pixel to the nearest copy of site k on the torus.
    int dx = static_cast<int>(Hash(seed, k, 0) % kTile) - x;
    int dy = static_cast<int>(Hash(seed, k, 1) % kTile) - y;
    dx = Wrapped(dx);
    dy = Wrapped(dy);
    const TSite site{dx, dy, dx * dx + dy * dy, k};
    if (site.D2 < best.D2) {
      second = best;
      best = site;
    } else if (site.D2 < second.D2) {
      second = site;
    }
  }
  // Distance to the bisector of the two nearest sites is
  // (d2 - d1) / (2 |s2 - s1|); compare squares to stay with integers.
  const int gap = second.D2 - best.D2;
  const int sx = second.Dx - best.Dx, sy = second.Dy - best.Dy;
  if (gap * gap < joint * joint * (sx * sx + sy * sy)) return mortar + Jitter(seed + 1, x, y, 4);
  const int tone = static_cast<int>(Hash(seed + 2, best.Index, 0) % 41) - 20;
  const int bulge = std::max(0, 12 - best.D2);
  return base + (tone + bulge + Jitter(seed + 3, x, y, 6));
}

TRgb LogSide(int x, int y) {
  const int column = static_cast<int>(Hash(131, x, 0) % 21) - 10;
  TRgb c = TRgb{104, 78, 48} + (column + Jitter(132, x, y, 5));
  if (Hash(133, x, 0) % 4 == 0 && Hash(134, x, y / 3) % 5 != 0) c = c + (-28);
  return c;
}

TRgb LogTop(int x, int y) {
  if (x == 0 || y == 0 || x == kTile - 1 || y == kTile - 1) return LogSide(x, y);
  const int dx = 2 * x + 1 - kTile, dy = 2 * y + 1 - kTile;
  int ring = 0;
  while ((ring + 1) * (ring + 1) * 9 <= dx * dx + dy * dy) ++ring;
  const TRgb c = ring % 2 == 0 ? TRgb{182, 146, 94} : TRgb{156, 120, 74};
  return c + Jitter(141, x, y, 5);
}

TRgb Leaves(int x, int y) {
  const std::uint32_t h = Hash(151, x, y);
  if (h % 5 == 0) return TRgb{26, 62, 22} + Jitter(152, x, y, 4);
  const int shade = (Smooth(153, x, y, 4) - 128) / 6 + Jitter(154, x, y, 14);
  TRgb c{50 + shade / 2, 114 + shade, 38 + shade / 2};
  if (h % 7 == 0) c = c + TRgb{18, 30, 10};
  return c;
}

// Loud enough that a face pointing at an unpainted tile is noticed at once.
TRgb Missing(int x, int y) {
  return ((x / 4 + y / 4) % 2 == 0) ? TRgb{220, 0, 220} : TRgb{24, 0, 24};
}

TRgb GrassSide(int x, int y) {
  return CoveredSide(x, y, 41, GrassBlade, GrassSideUnderside());
}
TRgb SnowSide(int x, int y) {
  return CoveredSide(x, y, 81, Snow, TRgb{196, 206, 220});
}
TRgb CoalOre(int x, int y) {
  return Ore(x, y, 91, 6, TRgb{42, 42, 46}, TRgb{96, 96, 104});
}
TRgb CrystalOre(int x, int y) {
  return Ore(x, y, 101, 4, TRgb{50, 196, 206}, TRgb{214, 255, 255});
}
TRgb Gravel(int x, int y) {
  return Pebbles(x, y, 111, 14, 1, TRgb{128, 120, 114}, TRgb{74, 68, 64});
}
TRgb Cobblestone(int x, int y) {
  return Pebbles(x, y, 121, 7, 1, TRgb{124, 124, 128}, TRgb{62, 62, 66});
}

}  // namespace

TImage TTextureAtlasPainter::Paint() {
  TImage image;
  image.Width = image.Height = kTile * TILES_PER_SIDE;
  image.Pixels.resize(static_cast<std::size_t>(image.Width) * image.Height * 4);
  for (int n = 1; n <= TILES_PER_SIDE * TILES_PER_SIDE; ++n) TTile(image, n).Fill(Missing);

  const struct {
    int Tile;
    TRgb (*Paint)(int, int);
  } kTiles[] = {{STONE, Stone},
                {DIRT, Dirt},
                {GRASS_TOP, GrassBlade},
                {GRASS_SIDE, GrassSide},
                {SAND, Sand},
                {WATER, Water},
                {SNOW_TOP, Snow},
                {SNOW_SIDE, SnowSide},
                {COAL_ORE, CoalOre},
                {CRYSTAL_ORE, CrystalOre},
                {GRAVEL, Gravel},
                {COBBLESTONE, Cobblestone},
                {LOG_SIDE, LogSide},
                {LOG_TOP, LogTop},
                {LEAVES, Leaves}};
  for (const auto& tile : kTiles) TTile(image, tile.Tile).Fill(tile.Paint);
  const std::size_t firstRowBytes = static_cast<std::size_t>(image.Width) * kTile * 4;
  for (int row = 1; row < TILES_PER_SIDE; ++row) {
    std::copy_n(image.Pixels.begin(), firstRowBytes, image.Pixels.begin() + row * firstRowBytes);
  }
  return image;
}
