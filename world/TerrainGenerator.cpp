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
    : Slice_(wideLanes),
      RidgeSums_(SLICE_CELLS),
      HeightSums_(SLICE_CELLS),
      Dens_(SLICE_CELLS),
      WarpSums_{std::vector<float>(SLICE_CELLS), std::vector<float>(SLICE_CELLS),
                std::vector<float>(SLICE_CELLS)},
      DeepPocketSums_(SLICE_CELLS),
      PocketSums_(SLICE_CELLS) {}

void TTerrainGenerator::Generate(int chunkX, int chunkZ, TVoxelGrid& voxels, TTally* tally) {
  for (int i = 0; i < VOXEL_GRID_WIDTH; ++i) Gx_[i] = TChunkGrid::GeneratorX(chunkX, i);
  for (int j = 0; j < ROWS; ++j) Gy_[j] = TChunkGrid::GeneratorY(j);
  for (int k = 0; k < VOXEL_GRID_DEPTH; ++k) Gz_[k] = TChunkGrid::GeneratorZ(chunkZ, k);
  Density_.Build(HEIGHT_NOISE.Scale, MostOctaves({RIDGE_NOISE, HEIGHT_NOISE}), Gx_, Gy_, Gz_);
  Warp_.Build(WARP_NOISE[0].Scale, MostOctaves({WARP_NOISE[0], WARP_NOISE[1], WARP_NOISE[2]}), Gx_,
              Gy_, Gz_);
  Pockets_.Build(POCKET_NOISE.Scale, MostOctaves({DEEP_POCKET_NOISE, POCKET_NOISE}), Gx_, Gy_, Gz_);
  for (int i = 0; i < VOXEL_GRID_WIDTH; ++i) GenerateSlice(i, voxels, tally);
}

void TTerrainGenerator::GenerateSlice(int i, TVoxelGrid& voxels, TTally* tally) {
  TSliceLayers& layers = voxels[i];
  ComputeDensity(i);
  const int firstGround = MarkOpenSpace(layers, tally);
  if (firstGround == ROWS) return;
  // The noises below ground start at a whole group of eight rows, as the
  // slice noise computes them.
  const int firstJ = firstGround & ~7;
  AccumulateGroundNoises(i, firstJ);
  DecideGround(i, firstJ, layers, tally);
}

void TTerrainGenerator::ComputeDensity(int i) {
  std::fill(RidgeSums_.begin(), RidgeSums_.end(), 0.0f);
  std::fill(HeightSums_.begin(), HeightSums_.end(), 0.0f);
  Slice_.Accumulate(Table(RIDGE_NOISE), Density_, RIDGE_NOISE.Octaves, i, 0, RidgeSums_.data());
  Slice_.Accumulate(Table(HEIGHT_NOISE), Density_, HEIGHT_NOISE.Octaves, i, 0, HeightSums_.data());
  for (int k = 0; k < VOXEL_GRID_DEPTH; ++k) {
    for (int j = 0; j < ROWS; ++j) {
      const int n = k * ROWS + j;
      Dens_[n] = TerrainShape::Density(Gy_[j], RidgeSums_[n], HeightSums_[n]);
    }
  }
}

int TTerrainGenerator::MarkOpenSpace(TSliceLayers& layers, TTally* tally) {
  int firstGround = ROWS;
  std::int64_t open = 0;
  for (int k = 0; k < VOXEL_GRID_DEPTH; ++k) {
    for (int j = 0; j < ROWS; ++j) {
      std::uint8_t id = kUndecided;
      if (IsOpenSpace(Dens_[k * ROWS + j])) {
        id = OpenSpaceBlock(Gy_[j]);
        ++open;
      } else {
        firstGround = std::min(firstGround, j);
      }
      layers[ROWS - 1 - j][k] = id;
    }
  }
  if (tally) tally->Open += open;
  return firstGround;
}

void TTerrainGenerator::AccumulateGroundNoises(int i, int firstJ) {
  std::vector<float>* belowGround[] = {&WarpSums_[0], &WarpSums_[1], &WarpSums_[2],
                                       &DeepPocketSums_, &PocketSums_};
  for (std::vector<float>* sums : belowGround) {
    for (int k = 0; k < VOXEL_GRID_DEPTH; ++k) {
      std::fill(sums->begin() + k * ROWS + firstJ, sums->begin() + (k + 1) * ROWS, 0.0f);
    }
  }
  for (int w = 0; w < 3; ++w) {
    Slice_.Accumulate(Table(WARP_NOISE[w]), Warp_, WARP_NOISE[w].Octaves, i, firstJ,
                      WarpSums_[w].data());
  }
  Slice_.Accumulate(Table(DEEP_POCKET_NOISE), Pockets_, DEEP_POCKET_NOISE.Octaves, i, firstJ,
                    DeepPocketSums_.data());
  Slice_.Accumulate(Table(POCKET_NOISE), Pockets_, POCKET_NOISE.Octaves, i, firstJ,
                    PocketSums_.data());
}

void TTerrainGenerator::DecideGround(int i, int firstJ, TSliceLayers& layers, TTally* tally) {
  // In GetTerrainBlock's order and with its expressions.
  TNoiseWindow firstCave(Table(CAVE_NOISE[0]));
  TNoiseWindow secondCave(Table(CAVE_NOISE[1]));
  TTally counts;
  for (int k = 0; k < VOXEL_GRID_DEPTH; ++k) {
    const int count = CollectGroundCells(i, k, firstJ, layers, firstCave);
    for (int g = 0; g < count; ++g) {
      const int j = GroundJ_[g];
      const int n = k * ROWS + j;
      const float y = Gy_[j];
      std::uint8_t& cell = layers[ROWS - 1 - j][k];
      // The second cave noise matters only where the first passes its test.
      if (InCaveBand(GroundA_[g]) &&
          InCaveBand(secondCave.Sample(GroundX_[g], GroundY_[g], GroundZ_[g]))) {
        cell = OPEN_BLOCK;
        ++counts.Cave;
        continue;
      }
      if (IsSurfaceLayer(Dens_[n])) {
        cell = SurfaceLayerBlock(y);
        ++counts.Surface;
        continue;
      }
      if (IsDeepPocket(y, DeepPocketSums_[n])) {
        cell = DEEP_POCKET_BLOCK;
        ++counts.Deep;
        continue;
      }
      cell = IsPocket(PocketSums_[n]) ? POCKET_BLOCK : GROUND_BLOCK;
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
  for (int j = firstJ; j < ROWS; ++j) {
    if (layers[ROWS - 1 - j][k] != kUndecided) continue;
    const int n = k * ROWS + j;
    GroundJ_[count] = j;
    GroundX_[count] = CAVE_NOISE[0].Scale * Warped(Gx_[i], WarpSums_[0][n]);
    GroundY_[count] = CAVE_NOISE[0].Scale * Warped(Gy_[j], WarpSums_[1][n]);
    GroundZ_[count] = CAVE_NOISE[0].Scale * Warped(Gz_[k], WarpSums_[2][n]);
    ++count;
  }
  for (int g = count; g % 4 != 0; ++g) {  // a whole last group; its extra lanes are not read
    GroundX_[g] = GroundX_[0];
    GroundY_[g] = GroundY_[0];
    GroundZ_[g] = GroundZ_[0];
  }
  for (int g = 0; g < count; g += 4) {
    firstCave.Sample4(&GroundX_[g], &GroundY_[g], &GroundZ_[g], &GroundA_[g]);
  }
  return count;
}
