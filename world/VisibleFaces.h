#pragma once

#include <bit>
#include <cstdint>
#include <vector>

#include "blocks/VoxelGrid.h"

// The visible faces of a chunk as bit masks, found a whole row of 32 cells at
// a time instead of one cell and direction at a time. A face is visible where
// an open cell (ID 0) of the chunk's own columns, in layers 1..126, has a
// non-empty neighbour in one of the six directions.
class TVisibleFaces {
 public:
  static constexpr int WIDTH = 32;    // local x and z: 0..31
  static constexpr int LAYERS = 126;  // y: 1..126
  // Directions from the open cell to the block, in the order in which an open
  // cell lists its faces: +x, -x, +y, -y, +z, -z.
  static constexpr int DIRECTIONS[6][3] = {{1, 0, 0},  {-1, 0, 0}, {0, 1, 0},
                                           {0, -1, 0}, {0, 0, 1},  {0, 0, -1}};

  explicit TVisibleFaces(const TVoxelGrid& voxels);

  int Count() const { return FaceCount_; }

  // visit(x, y, z, direction) for every visible face, in the order of the
  // vertex data: open cells by z, then y, then x, and each cell's faces in
  // the order of DIRECTIONS.
  template <class TVisit>
  void ForEach(TVisit&& visit) const {
    for (int z = 0; z < WIDTH; ++z) {
      for (int y = 1; y <= LAYERS; ++y) {
        for (std::uint32_t xs = CellsByZ_[Index(y, z)]; xs != 0; xs &= xs - 1) {
          const int x = std::countr_zero(xs);
          const std::uint32_t* masks = &Masks_[6 * Index(y, x)];
          for (int d = 0; d < 6; ++d) {
            if ((masks[d] >> z) & 1u) visit(x, y, z, d);
          }
        }
      }
    }
  }

 private:
  static int Index(int y, int n) { return (y - 1) * WIDTH + n; }

  int FaceCount_ = 0;
  std::vector<std::uint32_t> Masks_;     // [y][x][direction]: bit z = face of open cell (x, y, z)
  std::vector<std::uint32_t> CellsByZ_;  // [y][z]: bit x = open cell (x, y, z) with a face
};
