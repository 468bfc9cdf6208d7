#include "world/VisibleFaces.h"

#include "world/EmptyCells.h"

TVisibleFaces::TVisibleFaces(const TVoxelGrid& voxels)
    : Masks_(6 * LAYERS * WIDTH, 0), CellsByZ_(LAYERS * WIDTH, 0) {
  // Rows along z: local z 0..31 are array indices 2..33, contiguous in memory;
  // a neighbour row along z is the same row one byte over.
  for (int x = 0; x < WIDTH; ++x) {
    const int i = x + 2;
    for (int y = 1; y <= LAYERS; ++y) {
      const std::uint32_t open = EmptyCells(&voxels[i][y][2]);
      if (open == 0) continue;
      std::uint32_t* masks = &Masks_[6 * Index(y, x)];
      std::uint32_t any = 0;
      for (int d = 0; d < 6; ++d) {
        const int* step = DIRECTIONS[d];
        masks[d] = open & ~EmptyCells(&voxels[i + step[0]][y + step[1]][2 + step[2]]);
        FaceCount_ += std::popcount(masks[d]);
        any |= masks[d];
      }
      // The same cells by z, for the order of the vertex data.
      for (; any != 0; any &= any - 1) CellsByZ_[Index(y, std::countr_zero(any))] |= 1u << x;
    }
  }
}
