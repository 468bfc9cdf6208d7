#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "blocks/VoxelGrid.h"
#include "world/NoiseWindow.h"
#include "world/SliceNoise.h"
#include "world/TerrainShape.h"

// GetTerrainBlock for all 36 x 128 x 36 cells of a chunk at once, with the
// same result in every cell, bit for bit.
//
// The cells lie on a regular grid, so the seven noises at the cells themselves
// (all but the caves') are computed an x-slice at a time (TSliceNoise), sharing
// rows and planes between cells. The decision tree then runs per cell on those sums, with its early
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
    std::int64_t Open = 0;     // open space and fill: the ridge and height noises
    std::int64_t Cave = 0;     // + the three warp noises and both cave noises
    std::int64_t Surface = 0;  // the same
    std::int64_t Deep = 0;     // + the deep pocket noise
    std::int64_t Ground = 0;   // + the pocket noise: pockets and ground

    // Octave-samples per cell at each exit.
    static constexpr int OPEN_SAMPLES =
        TerrainShape::RIDGE_NOISE.Octaves + TerrainShape::HEIGHT_NOISE.Octaves;
    static constexpr int CAVE_SAMPLES =
        OPEN_SAMPLES + TerrainShape::WARP_NOISE[0].Octaves + TerrainShape::WARP_NOISE[1].Octaves +
        TerrainShape::WARP_NOISE[2].Octaves + TerrainShape::CAVE_NOISE[0].Octaves +
        TerrainShape::CAVE_NOISE[1].Octaves;
    static constexpr int DEEP_SAMPLES = CAVE_SAMPLES + TerrainShape::DEEP_POCKET_NOISE.Octaves;
    static constexpr int GROUND_SAMPLES = DEEP_SAMPLES + TerrainShape::POCKET_NOISE.Octaves;

    std::int64_t Cells() const { return Open + Cave + Surface + Deep + Ground; }
    std::int64_t OctaveSamples() const {
      return OPEN_SAMPLES * Open + CAVE_SAMPLES * (Cave + Surface) + DEEP_SAMPLES * Deep +
             GROUND_SAMPLES * Ground;
    }
  };

  // wideLanes: whether the noise may use AVX2 (it gives the same blocks).
  explicit TTerrainGenerator(bool wideLanes = TSliceNoise::HasWideLanes());

  // voxels[i][127 - j][k] = GetTerrainBlock at the TChunkGrid::GeneratorX, Y and Z
  // coordinates of (i, j, k) in chunk (chunkX, chunkZ). Reads
  // NoiseTables 0..8.
  void Generate(int chunkX, int chunkZ, TVoxelGrid& voxels, TTally* tally = nullptr);

 private:
  static constexpr int ROWS = TNoiseGrid::ROWS;
  static constexpr int SLICE_CELLS = VOXEL_GRID_DEPTH * ROWS;              // [k][j]
  using TSliceLayers = std::uint8_t[VOXEL_GRID_HEIGHT][VOXEL_GRID_DEPTH];  // [127 - j][k]

  // The stages of one x-slice, in order: each reads what the earlier ones left.
  void GenerateSlice(int i, TVoxelGrid& voxels, TTally* tally);
  // Dens_ of the slice's cells, from the ridge and height noises.
  void ComputeDensity(int i);
  // Open space and fill where the density alone decides it, every other cell
  // marked undecided; returns the highest ground row j, or ROWS for none.
  int MarkOpenSpace(TSliceLayers& layers, TTally* tally);
  // The warp and pocket noises of the rows from firstJ (a multiple of 8) down.
  void AccumulateGroundNoises(int i, int firstJ);
  // The rest of the decision tree for the undecided cells: caves, surface
  // layer, pockets, ground.
  void DecideGround(int i, int firstJ, TSliceLayers& layers, TTally* tally);
  // The undecided cells of column k into GroundJ_, X, Y, Z, with their first
  // cave noise in GroundA_; returns how many there are.
  int CollectGroundCells(int i, int k, int firstJ, const TSliceLayers& layers,
                         TNoiseWindow& firstCave);

  float Gx_[VOXEL_GRID_WIDTH], Gy_[ROWS], Gz_[VOXEL_GRID_DEPTH];
  TNoiseGrid Density_;  // the ridge and height noises' scale
  TNoiseGrid Warp_;     // the warp noises' scale
  TNoiseGrid Pockets_;  // the pocket noises' scale
  TSliceNoise Slice_;
  // The undecided cells of the current column: row j, warped position times
  // the cave noises' scale, first cave noise.
  int GroundJ_[ROWS];
  float GroundX_[ROWS], GroundY_[ROWS], GroundZ_[ROWS], GroundA_[ROWS];
  // Noise sums and densities of the current slice, [k][j].
  std::vector<float> RidgeSums_, HeightSums_, Dens_, WarpSums_[3], DeepPocketSums_, PocketSums_;
};
