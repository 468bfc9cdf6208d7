#include <benchmark/benchmark.h>

#include <vector>

#include "world/Noise.h"
#include "world/Terrain.h"

namespace {

void EnsureNoiseTables() {
  if (NoiseTables.empty()) CreateNoiseTables();
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

}  // namespace

BENCHMARK_MAIN();
