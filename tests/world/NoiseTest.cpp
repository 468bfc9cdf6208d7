#include <gtest/gtest.h>

#include "tests/world/WorldFixtures.h"
#include "world/Noise.h"

namespace {

class NoiseTest : public ::testing::Test {
 protected:
  void SetUp() override { EnsureNoiseTables(); }
  const TNoiseTable& Table(int n) const { return NoiseTables[n]; }
};

TEST_F(NoiseTest, StartsFromTheFixedRandomSequence) {
  ASSERT_EQ(NoiseTables.size(), 20u);
  const double expected[4] = {-0.1620225, -0.5748737, 0.3885694, -0.7012751};
  for (int n = 0; n < 4; ++n) EXPECT_NEAR(Table(0)[n], expected[n], 5e-8) << "entry " << n;
}

TEST_F(NoiseTest, TablesHoldValuesInRangeAndDifferFromEachOther) {
  for (const TNoiseTable& table : NoiseTables) {
    ASSERT_EQ(table.size(), 65536u);
    for (float v : table) ASSERT_TRUE(v >= -1.0f && v <= 1.0f) << v;
  }
  // The sequence runs on across tables instead of restarting.
  EXPECT_NE(Table(0)[0], Table(1)[0]);
  EXPECT_NE(Table(1)[0], Table(19)[0]);
}

TEST_F(NoiseTest, NoOctavesGiveZero) {
  const float points[][3] = {{0.0f, 0.0f, 0.0f}, {1.3f, -7.25f, 2.5f}, {250.5f, 0.75f, 300.1f}};
  for (int octaves : {0, -1, -5}) {
    for (const auto& p : points) {
      EXPECT_EQ(Noise1D(p[0], octaves, Table(0)), 0.0f);
      EXPECT_EQ(Noise2D(p[0], p[1], octaves, Table(0)), 0.0f);
      EXPECT_EQ(Noise3D(p[0], p[1], p[2], octaves, Table(0)), 0.0f);
    }
  }
}

TEST_F(NoiseTest, IsMirrorSymmetricInEveryCoordinate) {
  for (int octaves = 1; octaves <= 5; ++octaves) {
    const float n = Noise3D(1.5f, 2.25f, 3.75f, octaves, Table(0));
    EXPECT_EQ(Noise3D(-1.5f, 2.25f, -3.75f, octaves, Table(0)), n);
    EXPECT_EQ(Noise3D(1.5f, -2.25f, 3.75f, octaves, Table(0)), n);
    EXPECT_EQ(Noise2D(-0.7f, 9.1f, octaves, Table(3)), Noise2D(0.7f, -9.1f, octaves, Table(3)));
    EXPECT_EQ(Noise1D(-4.2f, octaves, Table(5)), Noise1D(4.2f, octaves, Table(5)));
  }
}

// At an integer point every fraction stays 0, so each octave reads the table
// entry one lattice step past the point at twice the previous position.
TEST_F(NoiseTest, IntegerPointReadsOneEntryPerOctave) {
  const TNoiseTable& t = Table(0);
  const float octave1 = 0.5f * t[1347];                   // 3 + 16 * 4 + 256 * 5 for (2, 3, 4)
  const float octave2 = 0.25f * t[5 + 16 * 7 + 256 * 9];  // (4, 6, 8)
  EXPECT_EQ(Noise3D(2.0f, 3.0f, 4.0f, 1, t), octave1);
  EXPECT_EQ(Noise3D(2.0f, 3.0f, 4.0f, 2, t), octave1 + octave2);
}

TEST_F(NoiseTest, WindowWrapsAroundTheTable) {
  // Only the entries of the first row (65535, 0, 1, 2) are non-zero; every
  // other row of the window at ix = 65535, iy = iz = 0 reads zeros.
  TNoiseTable table(NOISE_TABLE_SIZE, 0.0f);
  table[65535] = 0.25f;
  table[0] = -0.5f;
  table[1] = 0.75f;
  table[2] = 0.5f;
  const float row = InterpolateCubic(0.25f, -0.5f, 0.75f, 0.5f, 0.5f);
  const float plane = InterpolateCubic(row, 0.0f, 0.0f, 0.0f, 0.5f);
  const float value = InterpolateCubic(plane, 0.0f, 0.0f, 0.0f, 0.5f);
  ASSERT_NE(value, 0.0f);
  EXPECT_EQ(Noise3D(65535.5f, 0.5f, 0.5f, 1, table), 0.5f * value);
  EXPECT_EQ(Noise1D(65535.5f, 1, table), 0.5f * row);
}

TEST_F(NoiseTest, CubicPassesThroughInnerSamplesAndMayOvershoot) {
  EXPECT_EQ(InterpolateCubic(-1.0f, 1.0f, 1.0f, -1.0f, 0.5f), 1.5f);
  EXPECT_EQ(InterpolateCubic(0.3f, -0.2f, 0.9f, 0.1f, 0.0f), -0.2f);
  EXPECT_FLOAT_EQ(InterpolateCubic(0.3f, -0.2f, 0.9f, 0.1f, 1.0f), 0.9f);
}

// The lattice strides are 1 for x, 16 for y and 256 for z, so at an integer z
// the 3-D noise is the 2-D noise moved 16 rows per z step, and at an integer y
// the 2-D noise is the 1-D noise moved 16 entries per y step.
TEST_F(NoiseTest, LowerDimensionsAreSlicesOfTheSameLattice) {
  const TNoiseTable& t = Table(2);
  for (float x : {0.125f, 3.5f, 17.75f}) {
    for (float y : {0.25f, 5.5f}) {
      EXPECT_EQ(Noise3D(x, y, 4.0f, 1, t), Noise2D(x, y + 16.0f * 5.0f, 1, t)) << x << " " << y;
    }
    EXPECT_EQ(Noise2D(x, 7.0f, 1, t), Noise1D(x + 16.0f * 8.0f, 1, t)) << x;
  }
}

}  // namespace
