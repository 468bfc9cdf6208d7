#pragma once

#include <array>
#include <cstdint>

#include "gpu/Image.h"

class TChunk;

// The pixels of a map, one per block column, seen from above: the mean colour
// of the atlas tile on the top face of the column's highest block, brightened
// or darkened by the slope of the ground around it so that relief shows, and
// transparent where a column has no block at all.
//
// Colours come from the block classes registered now and from the face atlas
// as the viewer's texture holds it (TAtlasImages); without an atlas every face
// is white, as the viewer draws untextured faces. After construction the
// painter is read-only, so worker threads may share it.
class TMapPainter {
 public:
  static constexpr int SIDE = 32;                     // pixels per chunk along x and z
  static constexpr int TILE_BYTES = SIDE * SIDE * 4;  // one chunk's pixels, R, G, B, A
  using TRgb = std::array<std::uint8_t, 3>;

  // `atlas` may be null: no texture.
  explicit TMapPainter(const TImage* atlas);

  // The colour of the top face of a block with this ID (0..255), unshaded.
  const TRgb& TopColour(int id) const { return TopColours_[static_cast<std::size_t>(id)]; }

  // The chunk's own 32 x 32 columns into `out`: rows of increasing z, each of
  // increasing x, 4 bytes a pixel, `pitch` bytes from one row to the next.
  // Reads VoxelData and Height of the generated chunk (the ring's heights for
  // the slope at its edges), not Light.
  void Paint(const TChunk& chunk, std::uint8_t* out, std::size_t pitch) const;

  // The brightness factor of ground whose height around a column is
  // `height[dz + 1][dx + 1]` for dx, dz in -1..1 (the column's own in the
  // middle): 1 where it is level, above 1 on slopes that face the light from
  // the north-west (-x, -z: the map's top left), below 1 on those facing away.
  static float Shade(const int (&height)[3][3]);

  // The mean colour of the atlas tile whose top-left corner is at (u, v), in
  // texture coordinates, sampled the way the viewer's nearest filtering and
  // repeat wrapping sample it.
  static TRgb TileMean(const TImage& atlas, float u, float v);

 private:
  std::array<TRgb, 256> TopColours_;
};
