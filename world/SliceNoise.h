#pragma once

#include <array>
#include <vector>

#include "blocks/VoxelGrid.h"
#include "world/NoiseLattice.h"

// The lattice coordinates of one noise scale over a chunk's cells, per octave:
// X[o][i] for the x index i, Y[o][j] for the depth row j = 127 - y, Z[o][k] for
// the z index k. A noise sample at cell (i, j, k) uses exactly these, so each
// is split and doubled once per chunk instead of once per sample.
struct TNoiseGrid {
  static constexpr int MAX_OCTAVES = 5;
  static constexpr int ROWS = VOXEL_GRID_HEIGHT;

  int Octaves = 0;
  std::array<std::array<TLatticeCoordinate, VOXEL_GRID_WIDTH>, MAX_OCTAVES> X;
  std::array<std::array<TLatticeCoordinate, ROWS>, MAX_OCTAVES> Y;
  std::array<std::array<TLatticeCoordinate, VOXEL_GRID_DEPTH>, MAX_OCTAVES> Z;

  // gx, gy, gz: the generator coordinates of the indices; the noise is taken
  // at scale * (gx, gy, gz) with `octaves` octaves, as Noise3D takes it.
  void Build(float scale, int octaves, const float* gx, const float* gy, const float* gz);
};

// Noise3D over the cells of one x-slice of a chunk (fixed i; all k, and the
// rows j from firstJ on), octave by octave.
//
// Noise3D interpolates along x, then y, then z. In a slice every sample has the
// same lattice x, so a row (the cubic along x) depends only on its lattice y
// and z, and a plane (the cubic along y) only on the cell's row j and a lattice
// z. Each row and plane is computed once and shared by all the cells whose
// windows use it; every cell then takes one cubic along z per octave. The
// operands of every cubic are the ones Noise3D uses, in the same order, so the
// sums equal Noise3D's bit for bit.
//
// Rows and planes use four lanes (TLanes); the cells' own cubics, the bulk of
// the work, eight, in one AVX2 register where an x86-64 CPU has it. Every
// choice gives the same sums.
class TSliceNoise {
 public:
  static constexpr int SUM_STRIDE = TNoiseGrid::ROWS;  // sums are [k][j]

  // Whether this CPU has AVX2 (never outside x86-64).
  static bool HasWideLanes();

  explicit TSliceNoise(bool wideLanes = HasWideLanes()) : WideLanes_(wideLanes) {}

  // sums[k * SUM_STRIDE + j] += the first `octaves` octaves of the noise of
  // `table` at cell (i, j, k), weighted 0.5, 0.25, ... and added in Noise3D's
  // order, for j from firstJ on (a multiple of 8); start the sums at 0 to get
  // Noise3D(..., octaves, table). octaves <= grid.Octaves.
  void Accumulate(const float* table, const TNoiseGrid& grid, int octaves, int i, int firstJ,
                  float* sums);

 private:
  void AccumulateOctave(const float* table, const TNoiseGrid& grid, int octave, int i, int firstJ,
                        float amplitude, float* sums);

  bool WideLanes_;
  std::vector<float> Rows_;    // [lattice y][lattice z], both relative to the slice's lowest
  std::vector<float> Planes_;  // [lattice z][j]
};
