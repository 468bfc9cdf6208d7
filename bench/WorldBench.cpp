#include <benchmark/benchmark.h>

#include <memory>
#include <random>
#include <vector>

#include "app/CameraControl.h"
#include "bench/reference/ReferenceChunk.h"
#include "scene/RenderRegistry.h"
#include "world/Chunk.h"
#include "world/Noise.h"
#include "world/NoiseWindow.h"
#include "world/SliceNoise.h"
#include "world/Terrain.h"

namespace {

void EnsureNoiseTables() {
  if (NoiseTables.empty()) CreateNoiseTables();
}

void FastGenerateData(TChunk& chunk) {
  chunk.GenerateData();
}
void FastBuildVertexData(TChunk& chunk) {
  chunk.BuildVertexData();
}

// One 3-D noise sample per iteration, walking through the lattice so that no
// two samples share a window; the argument is the octave count.
void BM_Noise3D(benchmark::State& state) {
  EnsureNoiseTables();
  const int octaves = static_cast<int>(state.range(0));
  const TNoiseTable& table = NoiseTables[0];
  float x = 256.1f, y = 0.3f, z = 256.7f;
  for (auto _ : state) {
    benchmark::DoNotOptimize(Noise3D(x, y, z, octaves, table));
    x += 0.37f;
    if (x > 300.0f) x -= 40.0f;
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_Noise3D)->Arg(1)->Arg(3)->Arg(4)->Arg(5);

// One cell per iteration, cycling through every height of 32 columns of the
// chunk at the origin, so open space and ground come in their real mix.
void BM_GetTerrainBlock(benchmark::State& state) {
  EnsureNoiseTables();
  struct TPoint {
    float X, Y, Z;
  };
  std::vector<TPoint> cells;
  for (int column = 0; column < 32; ++column) {
    const float x = static_cast<float>(32768 + column * 5 % 32) / 128.0f;
    const float z = static_cast<float>(32768 + column) / 128.0f;
    for (int depth = 0; depth < 128; ++depth) {
      cells.push_back({x, static_cast<float>(depth) / 128.0f, z});
    }
  }
  std::size_t n = 0;
  for (auto _ : state) {
    const TPoint& p = cells[n];
    benchmark::DoNotOptimize(GetTerrainBlock(p.X, p.Y, p.Z));
    if (++n == cells.size()) n = 0;
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_GetTerrainBlock);

// The slice kernel of chunk generation: all 36 x 128 cells of one x-slice of
// the chunk at the origin, at the scale of the density (2), warp (6) or pocket
// (20) noises; the arguments are the scale and the octave count. Items are
// octave-samples: cells times octaves.
void BM_SliceNoise(benchmark::State& state) {
  EnsureNoiseTables();
  const auto scale = static_cast<float>(state.range(0));
  const int octaves = static_cast<int>(state.range(1));
  float gx[VOXEL_GRID_WIDTH], gy[TNoiseGrid::ROWS], gz[VOXEL_GRID_DEPTH];
  for (int n = 0; n < VOXEL_GRID_WIDTH; ++n) gx[n] = static_cast<float>(32766 + n) / 128.0f;
  for (int n = 0; n < TNoiseGrid::ROWS; ++n) gy[n] = static_cast<float>(n) / 128.0f;
  for (int n = 0; n < VOXEL_GRID_DEPTH; ++n) gz[n] = static_cast<float>(32766 + n) / 128.0f;
  TNoiseGrid grid;
  grid.Build(scale, octaves, gx, gy, gz);
  TSliceNoise slice;
  std::vector<float> sums(VOXEL_GRID_DEPTH * TSliceNoise::SUM_STRIDE);
  int i = 0;
  for (auto _ : state) {
    slice.Accumulate(NoiseTables[0].data(), grid, octaves, i, 0, sums.data());
    benchmark::DoNotOptimize(sums.data());
    i = (i + 1) % VOXEL_GRID_WIDTH;
  }
  state.SetItemsProcessed(state.iterations() * VOXEL_GRID_DEPTH * TNoiseGrid::ROWS * octaves);
}
BENCHMARK(BM_SliceNoise)->Args({2, 5})->Args({6, 3})->Args({20, 3});

// The cave kernel: one octave at scattered points that wander like warped
// cave positions of neighbouring cells (mostly the same window); the argument
// is how many points a call takes (1: Sample, 4: Sample4).
void BM_NoiseWindow(benchmark::State& state) {
  EnsureNoiseTables();
  std::mt19937 random(3);
  std::uniform_real_distribution<float> step(0.0f, 2.0f / 128.0f);
  constexpr int kPoints = 4096;
  std::vector<float> xs, ys, zs;
  float x = 512.3f, y = 0.4f, z = 511.7f;
  for (int n = 0; n < kPoints; ++n) {
    x += step(random);
    y = n % 128 == 0 ? 0.4f : y + step(random);
    z += step(random) - 1.0f / 128.0f;
    xs.push_back(x);
    ys.push_back(y);
    zs.push_back(z);
  }
  TNoiseWindow window(NoiseTables[4].data());
  const bool four = state.range(0) == 4;
  std::size_t n = 0;
  float out[4];
  for (auto _ : state) {
    if (four) {
      window.Sample4(&xs[n], &ys[n], &zs[n], out);
      benchmark::DoNotOptimize(out);
      n = (n + 4) % kPoints;
    } else {
      benchmark::DoNotOptimize(window.Sample(xs[n], ys[n], zs[n]));
      n = (n + 1) % kPoints;
    }
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_NoiseWindow)->Arg(1)->Arg(4);

// Whole chunks of the initial square, one after another: TChunk's own build
// and the straightforward reference.
template <void (*Build)(TChunk&)>
void BM_Chunk(benchmark::State& state) {
  EnsureNoiseTables();
  const std::vector<TChunkPosition> square = InitialChunks(ViewRadius);
  std::size_t n = 0;
  for (auto _ : state) {
    state.PauseTiming();
    std::shared_ptr<TChunk> chunk = TChunk::New();
    chunk->ChunkX = square[n].X;
    chunk->ChunkZ = square[n].Z;
    n = (n + 1) % square.size();
    if (Build == ReferenceBuildVertexData) ReferenceGenerateData(*chunk);
    if (Build == FastBuildVertexData) chunk->GenerateData();
    state.ResumeTiming();
    Build(*chunk);
    state.PauseTiming();
    TRenderRegistry::MeshList.clear();
    state.ResumeTiming();
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK_TEMPLATE(BM_Chunk, FastGenerateData)->Unit(benchmark::kMillisecond);
BENCHMARK_TEMPLATE(BM_Chunk, ReferenceGenerateData)->Unit(benchmark::kMillisecond)->Iterations(10);
BENCHMARK_TEMPLATE(BM_Chunk, FastBuildVertexData)->Unit(benchmark::kMillisecond);
BENCHMARK_TEMPLATE(BM_Chunk, ReferenceBuildVertexData)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
