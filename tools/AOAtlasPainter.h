#pragma once

#include <cstdint>

#include "gpu/Image.h"

// Paints AO.png: 16 x 16 tiles, tile m (column m % 16, row m / 16) for the
// occupancy mask m of a face. The mask's bits are the 3 x 3 cells around the
// face without its centre, in reading order: bits 0, 1, 2 the top row from left
// to right, 3 and 4 the left and right cells, 5, 6, 7 the bottom row.
//
// Each solid cell darkens the tile by its distance from the cell's square in
// the face plane, with a smooth fall-off over 3/4 of a tile. Because the
// darkening depends only on that geometry, two faces that share cells shade
// their common border alike and the tiles join without seams. Integer
// arithmetic only, so every machine paints the same bytes.
class TAOAtlasPainter {
 public:
  static constexpr int TILE_SIZE = 32;  // pixels per tile side
  static constexpr int TILES_PER_SIDE = 16;
  static constexpr int MIN_BRIGHTNESS = 102;  // 40 % of 255: no texel is darker

  // Grey level 0..255 of pixel (x, y) of the tile for `mask`; 0 <= x, y < TILE_SIZE,
  // y = 0 the tile's top row.
  static std::uint8_t Brightness(int mask, int x, int y);
  // The whole atlas: opaque grey RGBA, TILE_SIZE * 16 pixels square.
  static TImage Paint();
};
