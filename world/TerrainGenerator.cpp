#include "world/TerrainGenerator.h"

#include <algorithm>
#include <initializer_list>

#include "world/ChunkGrid.h"
#include "world/Noise.h"
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
  TSliceLayers& layers = voxels[i];
  ComputeDensity(i);
  const int firstGround = MarkOpenSpace(layers, tally);
  if (firstGround == kRows) return;
  // The noises below ground start at a whole group of eight rows, as the
  // slice noise computes them.
  const int firstJ = firstGround & ~7;
  AccumulateGroundNoises(i, firstJ);
  DecideGround(i, firstJ, layers, tally);
}

void TTerrainGenerator::ComputeDensity(int i) {
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
}

int TTerrainGenerator::MarkOpenSpace(TSliceLayers& layers, TTally* tally) {
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
  return firstGround;
}

void TTerrainGenerator::AccumulateGroundNoises(int i, int firstJ) {
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
}

void TTerrainGenerator::DecideGround(int i, int firstJ, TSliceLayers& layers, TTally* tally) {
  // In GetTerrainBlock's order and with its expressions.
  TNoiseWindow firstCave(Table(CAVE_NOISE[0]));
  TNoiseWindow secondCave(Table(CAVE_NOISE[1]));
  TTally counts;
  for (int k = 0; k < VOXEL_GRID_DEPTH; ++k) {
    const int count = CollectGroundCells(i, k, firstJ, layers, firstCave);
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

int TTerrainGenerator::CollectGroundCells(int i, int k, int firstJ, const TSliceLayers& layers,
                                          TNoiseWindow& firstCave) {
  // The warped positions are kept at the cave noises' scale, and their first
  // cave noise is taken four cells at a time.
  int count = 0;
  for (int j = firstJ; j < kRows; ++j) {
    if (layers[kRows - 1 - j][k] != kUndecided) continue;
    const int n = k * kRows + j;
    GroundJ[count] = j;
    GroundX[count] = CAVE_NOISE[0].Scale * Warped(Gx[i], WarpSums[0][n]);
    GroundY[count] = CAVE_NOISE[0].Scale * Warped(Gy[j], WarpSums[1][n]);
    GroundZ[count] = CAVE_NOISE[0].Scale * Warped(Gz[k], WarpSums[2][n]);
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
  return count;
}
