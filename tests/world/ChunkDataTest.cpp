#include <gtest/gtest.h>

#include <set>
#include <vector>

#include "tests/world/WorldFixtures.h"
#include "world/TerrainShape.h"

namespace {

// --- The terrain pass, observed through a recording generator ---------------

struct TCall {
  float X, Y, Z;
};
std::vector<TCall> Calls;

// Returns the call's number plus 256, so the stored byte tells which call
// filled a cell and that only the low 8 bits are kept.
int RecordingTerrain(float x, float y, float z) {
  const int n = static_cast<int>(Calls.size());
  Calls.push_back({x, y, z});
  return 256 + n % 251;
}

TEST(ChunkDataTest, TerrainPassVisitsEveryCellOfTheRingInOrder) {
  auto chunk = MakeEmptyChunk();
  chunk->ChunkX = 0;
  chunk->ChunkZ = 0;
  Calls.clear();
  chunk->GenerateVoxels(RecordingTerrain);
  ASSERT_EQ(Calls.size(), 36u * 128u * 36u);

  // The first call is array cell (0, 127, 0): world x = z = -2, the top layer.
  EXPECT_EQ(Calls[0].X, 32766.0f / 128.0f);
  EXPECT_EQ(Calls[0].Y, 0.0f);
  EXPECT_EQ(Calls[0].Z, 32766.0f / 128.0f);
  // The last is (35, 0, 35): world x = z = 33, the bottom layer.
  EXPECT_EQ(Calls.back().X, 32801.0f / 128.0f);
  EXPECT_EQ(Calls.back().Y, 127.0f / 128.0f);
  EXPECT_EQ(Calls.back().Z, 32801.0f / 128.0f);

  // Call n = (k * 128 + j) * 36 + i fills [i][127 - j][k]: k outermost, i innermost.
  for (int k = 0; k < 36; ++k) {
    for (int j = 0; j < 128; ++j) {
      for (int i = 0; i < 36; ++i) {
        const int n = (k * 128 + j) * 36 + i;
        ASSERT_EQ(chunk->VoxelData[i][127 - j][k], n % 251) << i << " " << j << " " << k;
        ASSERT_EQ(Calls[n].X, static_cast<float>(32766 + i) / 128.0f);
        ASSERT_EQ(Calls[n].Y, static_cast<float>(j) / 128.0f);
        ASSERT_EQ(Calls[n].Z, static_cast<float>(32766 + k) / 128.0f);
      }
    }
  }
}

TEST(ChunkDataTest, TerrainPassReachesZeroAtTheLowestChunk) {
  auto chunk = MakeEmptyChunk();
  chunk->ChunkX = -1024;
  chunk->ChunkZ = 3;
  Calls.clear();
  chunk->GenerateVoxels(RecordingTerrain);
  EXPECT_EQ(Calls[2].X, 0.0f);            // i = 2: world x = -32768
  EXPECT_EQ(Calls[0].X, -2.0f / 128.0f);  // the ring beyond it
  EXPECT_EQ(Calls[0].Z, static_cast<float>(1027 * 32 - 2) / 128.0f);
}

// --- Heights --------------------------------------------------------------

TEST(ChunkDataTest, HeightIsTheTopBlockOrZero) {
  struct TCase {
    std::vector<int> Blocks;  // heights of the column's blocks
    int Height;
  };
  const TCase cases[] = {
      {{}, 0}, {{0}, 0}, {{37}, 37}, {{10, 90}, 90}, {{0, 1, 2}, 2}, {{127}, 127},
  };
  for (const TCase& c : cases) {
    auto chunk = MakeEmptyChunk();
    for (int y : c.Blocks) SetBlock(*chunk, 7, y, 9, 1);
    ComputeHeightsAndLight(*chunk);
    EXPECT_EQ(chunk->Height[9][11], c.Height)
        << "top block " << (c.Blocks.empty() ? -1 : c.Blocks.back());
  }
}

TEST(ChunkDataTest, ColumnWithoutBlocksAboveGroundIsLitThroughout) {
  // An empty column and one whose only block is at y = 0 are both open sky.
  auto chunk = MakeEmptyChunk();
  SetBlock(*chunk, 20, 0, 20, 1);
  ComputeHeightsAndLight(*chunk);
  for (int y = 0; y < 128; ++y) {
    EXPECT_EQ(chunk->Light[5][y][5], 185) << y;
    EXPECT_EQ(chunk->Light[22][y][22], 185) << y;
  }
}

// --- Top soil --------------------------------------------------------------

TEST(ChunkDataTest, ExposedSurfaceBecomesTopSoilByHeight) {
  struct TCase {
    const char* Name;
    int I, K;  // array indices of the column
    int Y;     // height of the surface block (ID 3)
    int Roof;  // height of a block 1 above it, or -1
    int Expected;
  };
  const TCase cases[] = {
      {"high, open above", 10, 10, 95, -1, 78}, {"low, open above", 10, 10, 94, -1, 2},
      {"at the bottom", 10, 10, 0, -1, 2},      {"just under the top layer", 10, 10, 126, -1, 78},
      {"top layer", 10, 10, 127, -1, 3},        {"covered", 10, 10, 95, 96, 3},
      {"under a cave roof", 10, 10, 50, 60, 2}, {"inner ring", 1, 34, 50, -1, 2},
      {"outer ring, low x", 0, 10, 50, -1, 3},  {"outer ring, high x", 35, 10, 50, -1, 3},
      {"outer ring, low z", 10, 0, 50, -1, 3},  {"outer ring, high z", 10, 35, 50, -1, 3},
  };
  for (const TCase& c : cases) {
    auto chunk = MakeEmptyChunk();
    chunk->VoxelData[c.I][c.Y][c.K] = 3;
    if (c.Roof >= 0) chunk->VoxelData[c.I][c.Roof][c.K] = 1;
    chunk->PlaceTopSoil();
    EXPECT_EQ(chunk->VoxelData[c.I][c.Y][c.K], c.Expected) << c.Name;
  }
}

// --- Light -----------------------------------------------------------------

TEST(ChunkDataTest, FlatGroundIsDarkBelowAndLitAboveItsTop) {
  auto chunk = MakeEmptyChunk();
  FillColumns(*chunk, 60);
  ComputeHeightsAndLight(*chunk);
  for (int i = 2; i < 34; ++i) {
    for (int k = 2; k < 34; ++k) {
      for (int y = 0; y < 128; ++y) {
        ASSERT_EQ(chunk->Light[i][y][k], y < 60 ? 0 : 185) << i << " " << y << " " << k;
      }
    }
  }
  // The ring carries no light.
  EXPECT_EQ(chunk->Light[0][100][10], 0);
  EXPECT_EQ(chunk->Light[35][100][10], 0);
}

TEST(ChunkDataTest, CellNextToACliffCountsTheLowerColumns) {
  // Ground at height 100, with the two array columns i = 10, 11 (local x 8,
  // 9) cut down to height 10 along the whole z range.
  auto chunk = MakeEmptyChunk();
  FillColumns(*chunk, 100);
  for (int i : {10, 11}) {
    for (int k = 0; k < 36; ++k) {
      for (int y = 11; y <= 100; ++y) chunk->VoxelData[i][y][k] = 0;
    }
  }
  ComputeHeightsAndLight(*chunk);
  // Local x = 10 (i = 12) sees i = 10..14: a 5 x 2 strip of lower columns.
  EXPECT_EQ(chunk->Light[12][50][12], 50);
  EXPECT_EQ(chunk->Light[12][11][12], 50);
  // A column as high as the cell does not count.
  EXPECT_EQ(chunk->Light[12][10][12], 0);
  // Local x = 12 (i = 14) sees i = 12..16: none of them.
  EXPECT_EQ(chunk->Light[14][50][12], 0);
  // Local x = 9 (i = 11), itself cut down: open above 10.
  EXPECT_EQ(chunk->Light[11][50][12], 185);
}

// --- A generated chunk -------------------------------------------------------

TEST(ChunkDataTest, GeneratedChunkIsConsistent) {
  EnsureNoiseTables();
  auto chunk = MakeEmptyChunk();
  chunk->ChunkX = 1;
  chunk->ChunkZ = -1;
  chunk->GenerateData();

  std::set<int> known(TerrainShape::WORLD_BLOCKS.begin(), TerrainShape::WORLD_BLOCKS.end());
  known.insert(TerrainShape::OPEN_BLOCK);
  for (int i = 0; i < 36; ++i) {
    for (int k = 0; k < 36; ++k) {
      int top = 0;
      for (int y = 0; y < 128; ++y) {
        const int id = chunk->VoxelData[i][y][k];
        ASSERT_TRUE(known.count(id)) << id;
        if (id != 0) top = y;
        const bool inner = i >= 1 && i <= 34 && k >= 1 && k <= 34;
        if (inner && y < 127) {
          // No surface block is left exposed; top soil lies only where it was made.
          if (chunk->VoxelData[i][y + 1][k] == 0) {
            ASSERT_NE(id, 3) << i << " " << y << " " << k;
          }
          if (id == 2) {
            ASSERT_LE(y, 94);
          }
          if (id == 78) {
            ASSERT_GE(y, 95);
          }
        }
        const bool own = i >= 2 && i <= 33 && k >= 2 && k <= 33;
        const int light = chunk->Light[i][y][k];
        if (!own) {
          ASSERT_EQ(light, 0);
        } else if (y >= chunk->Height[i][k]) {
          ASSERT_EQ(light, 185);
        } else {
          ASSERT_TRUE(light % 5 == 0 && light <= 120) << light;
        }
      }
      ASSERT_EQ(chunk->Height[i][k], top) << i << " " << k;
    }
  }
}

}  // namespace
