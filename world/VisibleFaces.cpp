#include "world/VisibleFaces.h"

#include <emmintrin.h>

namespace {

// Bit n set where cells[n] is 0, for the 32 cells from `cells` on.
std::uint32_t EmptyCells(const std::uint8_t* cells) {
  const __m128i zero = _mm_setzero_si128();
  const __m128i low = _mm_loadu_si128(reinterpret_cast<const __m128i*>(cells));
  const __m128i high = _mm_loadu_si128(reinterpret_cast<const __m128i*>(cells + 16));
  const auto lowBits = static_cast<std::uint32_t>(_mm_movemask_epi8(_mm_cmpeq_epi8(low, zero)));
  const auto highBits = static_cast<std::uint32_t>(_mm_movemask_epi8(_mm_cmpeq_epi8(high, zero)));
  return lowBits | highBits << 16;
}

}  // namespace

TVisibleFaces::TVisibleFaces(const TVoxelGrid& voxels)
    : Masks(6 * LAYERS * WIDTH, 0), CellsByZ(LAYERS * WIDTH, 0) {
  // Rows along z: local z 0..31 are array indices 2..33, contiguous in memory;
  // a neighbour row along z is the same row one byte over.
  for (int x = 0; x < WIDTH; ++x) {
    const int i = x + 2;
    for (int y = 1; y <= LAYERS; ++y) {
      const std::uint32_t open = EmptyCells(&voxels[i][y][2]);
      if (open == 0) continue;
      std::uint32_t* masks = &Masks[6 * Index(y, x)];
      std::uint32_t any = 0;
      for (int d = 0; d < 6; ++d) {
        const int* step = DIRECTIONS[d];
        masks[d] = open & ~EmptyCells(&voxels[i + step[0]][y + step[1]][2 + step[2]]);
        FaceCount += std::popcount(masks[d]);
        any |= masks[d];
      }
      // The same cells by z, for the order of the vertex data.
      for (; any != 0; any &= any - 1) CellsByZ[Index(y, std::countr_zero(any))] |= 1u << x;
    }
  }
}
