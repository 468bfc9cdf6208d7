#include "world/TerrainGenerator.h"

#include <algorithm>
#include <cmath>

#include "world/ChunkGrid.h"
#include "world/Noise.h"
#include "world/NoiseLanes.h"
#include "world/NoiseWindow.h"
#include "world/TerrainShape.h"

using namespace TerrainShape;

namespace {

// Marks a cell that is not open space until the ground stage decides it; the
// terrain never returns this ID.
constexpr std::uint8_t kUndecided = 255;

const float* Table(int n) {
  return NoiseTables[n].data();
}

}  // namespace

TTerrainGenerator::TTerrainGenerator(bool wideLanes)
    : Slice(wideLanes),
      Sums0(kSliceCells),
      Sums8(kSliceCells),
      Dens(kSliceCells),
      Warp1(kSliceCells),
      Warp2(kSliceCells),
      Warp3(kSliceCells),
      Sums6(kSliceCells),
      Sums7(kSliceCells) {}

void TTerrainGenerator::Generate(int chunkX, int chunkZ, TVoxelGrid& voxels, TTally* tally) {
  for (int i = 0; i < VOXEL_GRID_WIDTH; ++i) Gx[i] = TChunkGrid::GeneratorX(chunkX, i);
  for (int j = 0; j < kRows; ++j) Gy[j] = TChunkGrid::GeneratorY(j);
  for (int k = 0; k < VOXEL_GRID_DEPTH; ++k) Gz[k] = TChunkGrid::GeneratorZ(chunkZ, k);
  Density.Build(2.0f, 5, Gx, Gy, Gz);
  Warp.Build(6.0f, 3, Gx, Gy, Gz);
  Pockets.Build(20.0f, 3, Gx, Gy, Gz);
  for (int i = 0; i < VOXEL_GRID_WIDTH; ++i) GenerateSlice(i, voxels, tally);
}

void TTerrainGenerator::GenerateSlice(int i, TVoxelGrid& voxels, TTally* tally) {
  // Density: d = (1 - y) - |0.2 N(0, 4, 2p)|; d = d - (1 + N(8, 5, 2p)) * 0.5.
  std::fill(Sums0.begin(), Sums0.end(), 0.0f);
  std::fill(Sums8.begin(), Sums8.end(), 0.0f);
  Slice.Accumulate(Table(0), Density, 4, i, 0, Sums0.data());
  Slice.Accumulate(Table(8), Density, 5, i, 0, Sums8.data());
  for (int n = 0; n < kSliceCells; n += 4) {
    const TLanes y = LoadLanes(&Gy[n % kRows]);
    TLanes d = (1.0f - y) - Abs(0.2f * LoadLanes(&Sums0[n]));
    d = d - (1.0f + LoadLanes(&Sums8[n])) * 0.5f;
    StoreLanes(&Dens[n], d);
  }

  // Open space is decided by the density alone.
  std::uint8_t(&layers)[VOXEL_GRID_HEIGHT][VOXEL_GRID_DEPTH] = voxels[i];  // [127 - j][k]
  int firstGround = kRows;
  std::int64_t open = 0;
  for (int k = 0; k < VOXEL_GRID_DEPTH; ++k) {
    for (int j = 0; j < kRows; ++j) {
      std::uint8_t id = kUndecided;
      if (Dens[k * kRows + j] >= OPEN_THRESHOLD) {
        id = Gy[j] < FILL_LEVEL ? OPEN_BLOCK : FILL_BLOCK;
        ++open;
      } else {
        firstGround = std::min(firstGround, j);
      }
      layers[kRows - 1 - j][k] = id;
    }
  }
  if (tally) tally->Open += open;
  if (firstGround == kRows) return;

  // Warp and pocket noises from the highest ground cell of the slice down.
  const int firstJ = firstGround & ~7;
  std::vector<float>* belowGround[] = {&Warp1, &Warp2, &Warp3, &Sums6, &Sums7};
  for (std::vector<float>* sums : belowGround) {
    for (int k = 0; k < VOXEL_GRID_DEPTH; ++k) {
      std::fill(sums->begin() + k * kRows + firstJ, sums->begin() + (k + 1) * kRows, 0.0f);
    }
  }
  Slice.Accumulate(Table(1), Warp, 3, i, firstJ, Warp1.data());
  Slice.Accumulate(Table(2), Warp, 3, i, firstJ, Warp2.data());
  Slice.Accumulate(Table(3), Warp, 3, i, firstJ, Warp3.data());
  Slice.Accumulate(Table(6), Pockets, 3, i, firstJ, Sums6.data());
  Slice.Accumulate(Table(7), Pockets, 3, i, firstJ, Sums7.data());

  // The rest of the decision tree, per ground cell, in GetTerrainBlock's order
  // and with its expressions.
  TNoiseWindow cave4(Table(4));
  TNoiseWindow cave5(Table(5));
  TTally counts;
  const float x = Gx[i];
  for (int k = 0; k < VOXEL_GRID_DEPTH; ++k) {
    // The column's undecided cells, their warped positions at 2q and their
    // first cave noise, four cells at a time.
    const float z = Gz[k];
    int count = 0;
    for (int j = firstJ; j < kRows; ++j) {
      if (layers[kRows - 1 - j][k] != kUndecided) continue;
      const int n = k * kRows + j;
      const float qx = x + 0.25f * Warp1[n];
      const float qy = Gy[j] + 0.25f * Warp2[n];
      const float qz = z + 0.25f * Warp3[n];
      GroundJ[count] = j;
      GroundX[count] = 2.0f * qx;
      GroundY[count] = 2.0f * qy;
      GroundZ[count] = 2.0f * qz;
      ++count;
    }
    for (int g = count; g % 4 != 0; ++g) {  // a whole last group; its extra lanes are not read
      GroundX[g] = GroundX[0];
      GroundY[g] = GroundY[0];
      GroundZ[g] = GroundZ[0];
    }
    for (int g = 0; g < count; g += 4) {
      cave4.Sample4(&GroundX[g], &GroundY[g], &GroundZ[g], &GroundA[g]);
    }

    for (int g = 0; g < count; ++g) {
      const int j = GroundJ[g];
      const int n = k * kRows + j;
      const float y = Gy[j];
      std::uint8_t& cell = layers[kRows - 1 - j][k];
      // The second cave noise matters only where the first passes its test.
      const float a = 1.0f - std::fabs(GroundA[g]);
      if (a > CAVE_THRESHOLD) {
        const float b = 1.0f - std::fabs(cave5.Sample(GroundX[g], GroundY[g], GroundZ[g]));
        if (b > CAVE_THRESHOLD) {
          cell = OPEN_BLOCK;
          ++counts.Cave;
          continue;
        }
      }
      if (Dens[n] >= SURFACE_THRESHOLD) {
        cell = y < FILL_LEVEL ? SURFACE_BLOCK : LOW_SURFACE_BLOCK;
        ++counts.Surface;
        continue;
      }
      const float deep = 1.0f + Sums6[n];
      if (deep * 0.5f * y * 0.667f > POCKET_THRESHOLD) {
        cell = DEEP_POCKET_BLOCK;
        ++counts.Deep;
        continue;
      }
      const float pocket = 1.0f + Sums7[n];
      cell = pocket * 0.5f > POCKET_THRESHOLD ? POCKET_BLOCK : GROUND_BLOCK;
      ++counts.Ground;
    }
  }
  if (tally) {
    tally->Cave += counts.Cave;
    tally->Surface += counts.Surface;
    tally->Deep += counts.Deep;
    tally->Ground += counts.Ground;
  }
}
