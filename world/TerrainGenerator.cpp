#include "world/TerrainGenerator.h"

#include <algorithm>
#include <initializer_list>

#include "world/ChunkGrid.h"
#include "world/Noise.h"
#include "world/NoiseWindow.h"
#include "world/TerrainShape.h"

using namespace TerrainShape;

namespace {

// Marks a cell that is not open space until the ground stage decides it; the
// terrain never returns this ID.
constexpr std::uint8_t kUndecided = 255;

// The noises that share a scale share one grid of lattice coordinates, with
// as many octaves as the most of them need; the caves take one octave each at
// scattered points, which TNoiseWindow computes.
static_assert(RIDGE_NOISE.Scale == HEIGHT_NOISE.Scale);
static_assert(WARP_NOISE[0].Scale == WARP_NOISE[1].Scale &&
              WARP_NOISE[0].Scale == WARP_NOISE[2].Scale);
static_assert(DEEP_POCKET_NOISE.Scale == POCKET_NOISE.Scale);
static_assert(CAVE_NOISE[0].Octaves == 1 && CAVE_NOISE[1].Octaves == 1 &&
              CAVE_NOISE[0].Scale == CAVE_NOISE[1].Scale);

constexpr int MostOctaves(std::initializer_list<TNoiseTerm> noises) {
  int octaves = 0;
  for (const TNoiseTerm& noise : noises) octaves = std::max(octaves, noise.Octaves);
  return octaves;
}

const float* Table(const TNoiseTerm& noise) {
  return NoiseTables[noise.Table].data();
}

}  // namespace

TTerrainGenerator::TTerrainGenerator(bool wideLanes)
    : Slice(wideLanes),
      RidgeSums(kSliceCells),
      HeightSums(kSliceCells),
      Dens(kSliceCells),
      WarpSums{std::vector<float>(kSliceCells), std::vector<float>(kSliceCells),
               std::vector<float>(kSliceCells)},
      DeepPocketSums(kSliceCells),
      PocketSums(kSliceCells) {}

void TTerrainGenerator::Generate(int chunkX, int chunkZ, TVoxelGrid& voxels, TTally* tally) {
  for (int i = 0; i < VOXEL_GRID_WIDTH; ++i) Gx[i] = TChunkGrid::GeneratorX(chunkX, i);
  for (int j = 0; j < kRows; ++j) Gy[j] = TChunkGrid::GeneratorY(j);
  for (int k = 0; k < VOXEL_GRID_DEPTH; ++k) Gz[k] = TChunkGrid::GeneratorZ(chunkZ, k);
  Density.Build(HEIGHT_NOISE.Scale, MostOctaves({RIDGE_NOISE, HEIGHT_NOISE}), Gx, Gy, Gz);
  Warp.Build(WARP_NOISE[0].Scale, MostOctaves({WARP_NOISE[0], WARP_NOISE[1], WARP_NOISE[2]}), Gx,
             Gy, Gz);
  Pockets.Build(POCKET_NOISE.Scale, MostOctaves({DEEP_POCKET_NOISE, POCKET_NOISE}), Gx, Gy, Gz);
  for (int i = 0; i < VOXEL_GRID_WIDTH; ++i) GenerateSlice(i, voxels, tally);
}

void TTerrainGenerator::GenerateSlice(int i, TVoxelGrid& voxels, TTally* tally) {
  // Density, from the ridge and height noises.
  std::fill(RidgeSums.begin(), RidgeSums.end(), 0.0f);
  std::fill(HeightSums.begin(), HeightSums.end(), 0.0f);
  Slice.Accumulate(Table(RIDGE_NOISE), Density, RIDGE_NOISE.Octaves, i, 0, RidgeSums.data());
  Slice.Accumulate(Table(HEIGHT_NOISE), Density, HEIGHT_NOISE.Octaves, i, 0, HeightSums.data());
  for (int k = 0; k < VOXEL_GRID_DEPTH; ++k) {
    for (int j = 0; j < kRows; ++j) {
      const int n = k * kRows + j;
      Dens[n] = TerrainShape::Density(Gy[j], RidgeSums[n], HeightSums[n]);
    }
  }

  // Open space is decided by the density alone.
  std::uint8_t(&layers)[VOXEL_GRID_HEIGHT][VOXEL_GRID_DEPTH] = voxels[i];  // [127 - j][k]
  int firstGround = kRows;
  std::int64_t open = 0;
  for (int k = 0; k < VOXEL_GRID_DEPTH; ++k) {
    for (int j = 0; j < kRows; ++j) {
      std::uint8_t id = kUndecided;
      if (IsOpenSpace(Dens[k * kRows + j])) {
        id = OpenSpaceBlock(Gy[j]);
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
  std::vector<float>* belowGround[] = {&WarpSums[0], &WarpSums[1], &WarpSums[2], &DeepPocketSums,
                                       &PocketSums};
  for (std::vector<float>* sums : belowGround) {
    for (int k = 0; k < VOXEL_GRID_DEPTH; ++k) {
      std::fill(sums->begin() + k * kRows + firstJ, sums->begin() + (k + 1) * kRows, 0.0f);
    }
  }
  for (int w = 0; w < 3; ++w) {
    Slice.Accumulate(Table(WARP_NOISE[w]), Warp, WARP_NOISE[w].Octaves, i, firstJ,
                     WarpSums[w].data());
  }
  Slice.Accumulate(Table(DEEP_POCKET_NOISE), Pockets, DEEP_POCKET_NOISE.Octaves, i, firstJ,
                   DeepPocketSums.data());
  Slice.Accumulate(Table(POCKET_NOISE), Pockets, POCKET_NOISE.Octaves, i, firstJ,
                   PocketSums.data());

  // The rest of the decision tree, per ground cell, in GetTerrainBlock's order
  // and with its expressions.
  TNoiseWindow firstCave(Table(CAVE_NOISE[0]));
  TNoiseWindow secondCave(Table(CAVE_NOISE[1]));
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
      GroundJ[count] = j;
      GroundX[count] = CAVE_NOISE[0].Scale * Warped(x, WarpSums[0][n]);
      GroundY[count] = CAVE_NOISE[0].Scale * Warped(Gy[j], WarpSums[1][n]);
      GroundZ[count] = CAVE_NOISE[0].Scale * Warped(z, WarpSums[2][n]);
      ++count;
    }
    for (int g = count; g % 4 != 0; ++g) {  // a whole last group; its extra lanes are not read
      GroundX[g] = GroundX[0];
      GroundY[g] = GroundY[0];
      GroundZ[g] = GroundZ[0];
    }
    for (int g = 0; g < count; g += 4) {
      firstCave.Sample4(&GroundX[g], &GroundY[g], &GroundZ[g], &GroundA[g]);
    }

    for (int g = 0; g < count; ++g) {
      const int j = GroundJ[g];
      const int n = k * kRows + j;
      const float y = Gy[j];
      std::uint8_t& cell = layers[kRows - 1 - j][k];
      // The second cave noise matters only where the first passes its test.
      if (InCaveBand(GroundA[g]) &&
          InCaveBand(secondCave.Sample(GroundX[g], GroundY[g], GroundZ[g]))) {
        cell = OPEN_BLOCK;
        ++counts.Cave;
        continue;
      }
      if (IsSurfaceLayer(Dens[n])) {
        cell = SurfaceLayerBlock(y);
        ++counts.Surface;
        continue;
      }
      if (IsDeepPocket(y, DeepPocketSums[n])) {
        cell = DEEP_POCKET_BLOCK;
        ++counts.Deep;
        continue;
      }
      cell = IsPocket(PocketSums[n]) ? POCKET_BLOCK : GROUND_BLOCK;
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
