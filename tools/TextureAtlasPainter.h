#pragma once

#include "gpu/Image.h"

// Paints Texture.png: 16 x 16 pixel-art tiles, tile n (1..256) in column
// (n - 1) % 16 and row (n - 1) / 16, the top row of a tile being the top of an
// upright side face. Pictures come from seeded integer hashes, so the same
// bytes come out on every machine, and every picture wraps around its own
// edges, so a wall of one block shows no seams.
class TTextureAtlasPainter {
 public:
  static constexpr int TILE_SIZE = 16;  // pixels per tile side
  static constexpr int TILES_PER_SIDE = 16;

  // The painted tiles, numbered as Blocks.lua refers to them. Tile 16 shows the
  // MISSING pattern, as does a face left out of a record, whose tile number 0
  // wraps around to tile 16. The rows below repeat the first row: nearest
  // sampling right on a face's lower edge can read the first texel row of the
  // tile below, which is then the tile's own first row, and each picture wraps
  // around its edges, so no seam of another picture shows.
  static constexpr int STONE = 1;
  static constexpr int DIRT = 2;
  static constexpr int GRASS_TOP = 3;
  static constexpr int GRASS_SIDE = 4;
  static constexpr int SAND = 5;
  static constexpr int WATER = 6;
  static constexpr int SNOW_TOP = 7;
  static constexpr int SNOW_SIDE = 8;
  static constexpr int COAL_ORE = 9;
  static constexpr int CRYSTAL_ORE = 10;
  static constexpr int GRAVEL = 11;
  static constexpr int COBBLESTONE = 12;
  static constexpr int LOG_SIDE = 13;
  static constexpr int LOG_TOP = 14;
  static constexpr int LEAVES = 15;
  static constexpr int MISSING = 16;

  // The whole atlas: opaque RGBA, TILE_SIZE * 16 pixels square.
  static TImage Paint();
};
