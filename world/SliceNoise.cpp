#include "world/SliceNoise.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "world/NoiseLanes.h"

namespace {

// Eight lanes: one AVX2 register, or two SSE2 (or NEON) registers.
using TWideLanes = float __attribute__((vector_size(32)));

[[gnu::always_inline]] inline TWideLanes LoadWide(const float* p) {
  TWideLanes v;
  std::memcpy(&v, p, sizeof v);
  return v;
}

// The cubic along z of each cell, eight rows j at a time, added to the sum
// the caller started, in Noise3D's order of operations, so that the sums
// equal Noise3D's (see TSliceNoise::Accumulate).
[[gnu::always_inline]] inline void AddCellCubicsIn(const float* planes, const int* zPlane,
                                                   const float* fz, float amplitude, int firstJ,
                                                   float* sums) {
  constexpr int kRows = TNoiseGrid::ROWS;
  const TWideLanes weight = TWideLanes{} + amplitude;
  for (int k = 0; k < VOXEL_GRID_DEPTH; ++k) {
    const float* plane = planes + zPlane[k] * kRows;
    const TWideLanes t = TWideLanes{} + fz[k];
    float* sum = sums + k * TSliceNoise::SUM_STRIDE;
    for (int j = firstJ; j < kRows; j += 8) {
      const TWideLanes value =
          Cubic(LoadWide(plane + j), LoadWide(plane + kRows + j), LoadWide(plane + 2 * kRows + j),
                LoadWide(plane + 3 * kRows + j), t);
      const TWideLanes total = LoadWide(sum + j) + weight * value;
      std::memcpy(sum + j, &total, sizeof total);
    }
  }
}

// The same code built for the CPU's baseline (SSE2 on x86-64, NEON on arm64)
// and, on x86-64, for AVX2; each lane computes the same operations either way
// (AVX2 brings no fused multiply-add), so the choice made at run time does not
// change a bit.
#if defined(__x86_64__)
__attribute__((target("avx2"))) void AddCellCubicsAvx2(const float* planes, const int* zPlane,
                                                       const float* fz, float amplitude, int firstJ,
                                                       float* sums) {
  AddCellCubicsIn(planes, zPlane, fz, amplitude, firstJ, sums);
}
#endif

void AddCellCubicsBaseline(const float* planes, const int* zPlane, const float* fz, float amplitude,
                           int firstJ, float* sums) {
  AddCellCubicsIn(planes, zPlane, fz, amplitude, firstJ, sums);
}

}  // namespace

bool TSliceNoise::HasWideLanes() {
#if defined(__x86_64__)
  __builtin_cpu_init();
  return __builtin_cpu_supports("avx2");
#else
  return false;
#endif
}

void TNoiseGrid::Build(float scale, int octaves, const float* gx, const float* gy,
                       const float* gz) {
  Octaves = octaves;
  auto split = [&](auto& axis, const float* g, int count) {
    for (int n = 0; n < count; ++n) {
      TLatticeCoordinate c(scale * g[n]);
      for (int o = 0; o < octaves; ++o) {
        axis[o][n] = c;
        c.Double();
      }
    }
  };
  split(X, gx, VOXEL_GRID_WIDTH);
  split(Y, gy, ROWS);
  split(Z, gz, VOXEL_GRID_DEPTH);
}

void TSliceNoise::Accumulate(const float* table, const TNoiseGrid& grid, int octaves, int i,
                             int firstJ, float* sums) {
  float amplitude = 0.5f;
  for (int o = 0; o < octaves; ++o) {
    AccumulateOctave(table, grid, o, i, firstJ, amplitude, sums);
    amplitude = amplitude * 0.5f;
  }
}

void TSliceNoise::AccumulateOctave(const float* table, const TNoiseGrid& grid, int octave, int i,
                                   int firstJ, float amplitude, float* sums) {
  constexpr int kRows = TNoiseGrid::ROWS;
  const TLatticeCoordinate x = grid.X[octave][i];
  const auto& y = grid.Y[octave];
  const auto& z = grid.Z[octave];

  // Lattice z of every k relative to the lowest in the slice (z may fall as k
  // grows where the coordinate is mirrored). Differences wrap in 32 bits like
  // the indices, so a slice across the wrap of a lattice index still works.
  int zPlane[VOXEL_GRID_DEPTH];
  int zMin = 0;
  int zMax = 0;
  for (int k = 0; k < VOXEL_GRID_DEPTH; ++k) {
    zPlane[k] = static_cast<std::int32_t>(z[k].I - z[0].I);
    zMin = std::min(zMin, zPlane[k]);
    zMax = std::max(zMax, zPlane[k]);
  }
  for (int& p : zPlane) p -= zMin;
  const std::uint32_t zLow = z[0].I + static_cast<std::uint32_t>(zMin);
  const int planeCount = (zMax - zMin + 4 + 3) & ~3;  // whole groups of four lanes

  // Likewise the lattice y of the rows j = firstJ..127, relative to the lowest.
  int yRow[kRows];
  int yMin = 0;
  int yMax = 0;
  for (int j = firstJ; j < kRows; ++j) {
    yRow[j] = static_cast<std::int32_t>(y[j].I - y[firstJ].I);
    yMin = std::min(yMin, yRow[j]);
    yMax = std::max(yMax, yRow[j]);
  }
  for (int j = firstJ; j < kRows; ++j) yRow[j] -= yMin;
  const std::uint32_t yLow = y[firstJ].I + static_cast<std::uint32_t>(yMin);
  const int rowCount = yMax - yMin + 4;
  Rows_.resize(static_cast<std::size_t>(rowCount) * planeCount);
  Planes_.resize(static_cast<std::size_t>(planeCount) * kRows);

  // Rows_: the cubic along x through entries base + 0..3, for every lattice
  // (y, z) of the slice; four lattice z at a time, one lane each.
  const TLanes fx = Broadcast(x.F);
  for (int r = 0; r < rowCount; ++r) {
    const std::uint32_t rowBase = x.I + 16u * (yLow + static_cast<std::uint32_t>(r)) + 256u * zLow;
    for (int p = 0; p < planeCount; p += 4) {
      const std::uint32_t first = rowBase + 256u * static_cast<std::uint32_t>(p);
      TLanes a = LoadTableRow(table, first);
      TLanes b = LoadTableRow(table, first + 256u);
      TLanes c = LoadTableRow(table, first + 512u);
      TLanes d = LoadTableRow(table, first + 768u);
      Transpose(a, b, c, d);  // a: entry 0 of the four rows, b: entry 1, ...
      StoreLanes(&Rows_[static_cast<std::size_t>(r) * planeCount + p], Cubic(a, b, c, d, fx));
    }
  }

  // Planes_: the cubic along y through the four rows of a cell's window, for
  // every row j and lattice z. Computed four lattice z at a time (lanes = z)
  // and stored transposed, plane-major, so the last step reads four
  // consecutive j of one plane with one load.
  for (int j = firstJ; j < kRows; j += 4) {
    for (int p = 0; p < planeCount; p += 4) {
      TLanes v[4];
      for (int n = 0; n < 4; ++n) {
        const auto r = static_cast<std::size_t>(yRow[j + n]);
        const float* row = &Rows_[r * planeCount + p];
        v[n] = Cubic(LoadLanes(row), LoadLanes(row + planeCount), LoadLanes(row + 2 * planeCount),
                     LoadLanes(row + 3 * planeCount), Broadcast(y[j + n].F));
      }
      Transpose(v[0], v[1], v[2], v[3]);
      for (int n = 0; n < 4; ++n) StoreLanes(&Planes_[(p + n) * kRows + j], v[n]);
    }
  }

  float fz[VOXEL_GRID_DEPTH];
  for (int k = 0; k < VOXEL_GRID_DEPTH; ++k) fz[k] = z[k].F;
#if defined(__x86_64__)
  (WideLanes_ ? AddCellCubicsAvx2 : AddCellCubicsBaseline)(Planes_.data(), zPlane, fz, amplitude,
                                                           firstJ, sums);
#else
  AddCellCubicsBaseline(Planes_.data(), zPlane, fz, amplitude, firstJ, sums);
#endif
}
