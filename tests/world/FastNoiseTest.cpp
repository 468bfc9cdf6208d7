#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "tests/world/WorldFixtures.h"
#include "world/Noise.h"
#include "world/NoiseWindow.h"
#include "world/SliceNoise.h"

// The noise kernels of chunk generation against Noise3D, bit for bit.

namespace {

// Coordinates where the lattice split has edges: exact integers (fractions 0),
// halves, quarters and eighths (a doubled fraction of exactly 1), negatives
// (mirrored), and positions whose windows wrap around the table (65535).
const std::vector<float> kEdgeCoordinates = {
    0.0f,      1.0f,     2.0f,      -3.0f,       0.5f,       0.25f,      0.125f,      1.75f,
    -0.5f,     -0.0625f, 255.5f,    4095.75f,    65535.0f,   65535.5f,   65534.9f,    65536.25f,
    -65535.5f, 1e-7f,    0.999999f, 131071.875f, 3.0000002f, 2097151.5f, 1e6f + 0.5f, 8.5f};

TEST(NoiseWindowTest, EqualsOneOctaveOfNoise3D) {
  EnsureNoiseTables();
  const TNoiseTable& table = NoiseTables[4];
  TNoiseWindow window(table.data());
  // Edge coordinates in every combination, then random walks like a warped
  // cave position's (mostly the same window, sometimes the next).
  for (float x : kEdgeCoordinates) {
    for (float y : kEdgeCoordinates) {
      for (float z : {0.0f, 0.5f, -7.25f, 65535.5f, 300.125f}) {
        ASSERT_EQ(window.Sample(x, y, z), Noise3D(x, y, z, 1, table)) << x << " " << y << " " << z;
      }
    }
  }
  std::mt19937 random(7);
  std::uniform_real_distribution<float> start(-600.0f, 600.0f);
  std::uniform_real_distribution<float> step(-0.05f, 0.05f);
  float x = start(random), y = start(random), z = start(random);
  for (int n = 0; n < 100000; ++n) {
    if (n % 1000 == 0) x = start(random), y = start(random), z = start(random);
    x += step(random);
    y += step(random);
    z += step(random);
    ASSERT_EQ(window.Sample(x, y, z), Noise3D(x, y, z, 1, table)) << x << " " << y << " " << z;
  }
}

// Four points at a time: mostly in one window, sometimes spread over two or
// more (then each point is taken alone), edge coordinates among them.
TEST(NoiseWindowTest, FourPointsEqualOneOctaveOfNoise3DEach) {
  EnsureNoiseTables();
  const TNoiseTable& table = NoiseTables[5];
  TNoiseWindow window(table.data());
  std::mt19937 random(11);
  std::uniform_real_distribution<float> start(-300.0f, 300.0f);
  std::uniform_real_distribution<float> step(-0.02f, 0.02f);
  std::uniform_int_distribution<std::size_t> edge(0, kEdgeCoordinates.size() - 1);
  float p[3][4];
  float x = start(random), y = start(random), z = start(random);
  for (int group = 0; group < 30000; ++group) {
    if (group % 500 == 0) x = start(random), y = start(random), z = start(random);
    for (int n = 0; n < 4; ++n) {
      x += step(random);
      y += step(random);
      z += step(random);
      p[0][n] = x, p[1][n] = y, p[2][n] = z;
    }
    if (group % 7 == 0) {
      // Edge coordinates on every lane: the window is the same for all four.
      const float ex = kEdgeCoordinates[edge(random)], ey = kEdgeCoordinates[edge(random)];
      for (int n = 0; n < 4; ++n) p[0][n] = ex, p[1][n] = ey;
    }
    float out[4];
    window.Sample4(p[0], p[1], p[2], out);
    for (int n = 0; n < 4; ++n) {
      ASSERT_EQ(out[n], Noise3D(p[0][n], p[1][n], p[2][n], 1, table))
          << p[0][n] << " " << p[1][n] << " " << p[2][n];
    }
  }
}

// A grid whose axes hold the given spans of coordinates, at every scale the
// terrain uses and at 1, checked cell by cell for every firstJ it may get,
// with SSE2 alone and with AVX2 where this CPU has it.
struct TGridCase {
  float Scale;
  int Octaves;
  float X0, Y0, Z0;  // first coordinate of each axis
  float Step;        // between neighbouring indices
};

TEST(SliceNoiseTest, EqualsNoise3DInEveryCell) {
  EnsureNoiseTables();
  const TGridCase cases[] = {
      {2.0f, 5, 256.0f, 0.0f, 255.75f, 1.0f / 128.0f},  // a chunk near the origin
      {6.0f, 3, 256.0f, 0.0f, 255.75f, 1.0f / 128.0f},
      {20.0f, 3, 256.0f, 0.0f, 255.75f, 1.0f / 128.0f},
      {20.0f, 3, -0.125f, 0.0f, -0.25f, 1.0f / 128.0f},  // mirrored around 0
      {1.0f, 5, 65535.5f, 0.5f, 65535.75f, 0.0625f},     // windows wrapping the table
      {2.0f, 5, 3.0f, 1.0f, 1e6f, 0.125f},               // exact halves: fractions doubling to 1
      {6.0f, 4, 1.0f, 2.0f, 3.0f, 0.1f},                 // steps that are not exact
      {1.0f, 5, 5e5f, 4e5f, 3e5f, 0.03125f},             // far, coarse floats
  };
  std::vector<float> sums(VOXEL_GRID_DEPTH * TSliceNoise::SUM_STRIDE);
  for (const TGridCase& c : cases) {
    float gx[VOXEL_GRID_WIDTH], gy[TNoiseGrid::ROWS], gz[VOXEL_GRID_DEPTH];
    for (int n = 0; n < VOXEL_GRID_WIDTH; ++n) gx[n] = c.X0 + static_cast<float>(n) * c.Step;
    for (int n = 0; n < TNoiseGrid::ROWS; ++n) gy[n] = c.Y0 + static_cast<float>(n) * c.Step;
    for (int n = 0; n < VOXEL_GRID_DEPTH; ++n) gz[n] = c.Z0 + static_cast<float>(n) * c.Step;
    TNoiseGrid grid;
    grid.Build(c.Scale, c.Octaves, gx, gy, gz);
    const int table = static_cast<int>(c.Scale) % 9;
    for (int octaves = 1; octaves <= c.Octaves; ++octaves) {
      for (int i : {0, 17, 35}) {
        for (bool wide : {false, TSliceNoise::HasWideLanes()}) {
          for (int firstJ : {0, 8, 64, 120}) {
            std::fill(sums.begin(), sums.end(), 0.0f);
            TSliceNoise slice(wide);
            slice.Accumulate(NoiseTables[table].data(), grid, octaves, i, firstJ, sums.data());
            for (int k = 0; k < VOXEL_GRID_DEPTH; ++k) {
              for (int j = firstJ; j < TNoiseGrid::ROWS; ++j) {
                const float expected = Noise3D(c.Scale * gx[i], c.Scale * gy[j], c.Scale * gz[k],
                                               octaves, NoiseTables[table]);
                ASSERT_EQ(sums[k * TSliceNoise::SUM_STRIDE + j], expected)
                    << "scale " << c.Scale << " octaves " << octaves << " cell " << i << " " << j
                    << " " << k << " from " << firstJ << (wide ? " AVX2" : " SSE2");
              }
            }
          }
        }
      }
    }
  }
}

}  // namespace
