#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "blocks/VoxelGrid.h"
#include "world/SliceNoise.h"

// GetTerrainBlock for all 36 x 128 x 36 cells of a chunk at once, with the
// same result in every cell, bit for bit.
//
// The cells lie on a regular grid, so the seven noises at 2p, 6p and 20p are
// computed an x-slice at a time (TSliceNoise), sharing rows and planes between
// cells. The decision tree then runs per cell on those sums, with its early
// exits: open space needs only the two density noises, so the warp and pocket
// noises are computed only from the slice's highest ground cell down, and the
// cave noises (at warped, irregular positions) only for ground cells, and the
// second one only where the first would make a cave. A value that a cell's
// path does not read cannot change its block.
//
// Holds about 200 KiB of scratch; one generator per thread.
class TTerrainGenerator {
 public:
  // How many cells left the decision tree at each exit, and so how many
  // octave-samples GetTerrainBlock spends on them (it computes both cave
  // noises before testing either).
  struct TTally {
    std::int64_t Open = 0;     // open space and fill: noises 0, 8 (9 octave-samples)
    std::int64_t Cave = 0;     // + warp 1..3 and caves 4, 5 (20)
    std::int64_t Surface = 0;  // the same (20)
    std::int64_t Deep = 0;     // + pocket noise 6 (23)
    std::int64_t Ground = 0;   // + pocket noise 7: blocks 15 and 1 (26)

    std::int64_t Cells() const { return Open + Cave + Surface + Deep + Ground; }
    std::int64_t OctaveSamples() const {
      return 9 * Open + 20 * (Cave + Surface) + 23 * Deep + 26 * Ground;
    }
  };

  // wideLanes: whether the noise may use AVX2 (it gives the same blocks).
  explicit TTerrainGenerator(bool wideLanes = TSliceNoise::HasWideLanes());

  // voxels[i][127 - j][k] = GetTerrainBlock at the TChunkGrid::GeneratorX, Y and Z
  // coordinates of (i, j, k) in chunk (chunkX, chunkZ). Reads
  // NoiseTables 0..8.
  void Generate(int chunkX, int chunkZ, TVoxelGrid& voxels, TTally* tally = nullptr);

 private:
  static constexpr int kRows = TNoiseGrid::ROWS;
  static constexpr int kSliceCells = VOXEL_GRID_DEPTH * kRows;  // [k][j]

  void GenerateSlice(int i, TVoxelGrid& voxels, TTally* tally);

  float Gx[VOXEL_GRID_WIDTH], Gy[kRows], Gz[VOXEL_GRID_DEPTH];
  TNoiseGrid Density;  // 2p, 5 octaves (tables 0 and 8)
  TNoiseGrid Warp;     // 6p, 3 octaves (tables 1, 2, 3)
  TNoiseGrid Pockets;  // 20p, 3 octaves (tables 6, 7)
  TSliceNoise Slice;
  // The undecided cells of the current column: row j, position 2q of the
  // cave noises, first cave noise.
  int GroundJ[kRows];
  float GroundX[kRows], GroundY[kRows], GroundZ[kRows], GroundA[kRows];
  // Noise sums and densities of the current slice, [k][j].
  std::vector<float> Sums0, Sums8, Dens, Warp1, Warp2, Warp3, Sums6, Sums7;
};
