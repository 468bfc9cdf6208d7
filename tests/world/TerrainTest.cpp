#include <gtest/gtest.h>

#include <map>
#include <set>

#include "tests/world/WorldFixtures.h"
#include "world/Terrain.h"
#include "world/TerrainShape.h"

namespace {

// Generator coordinates of world cell (x, height, z), as chunk generation maps them.
float ColumnCoordinate(int world) {
  return static_cast<float>(world + 32768) / 128.0f;
}
float Depth(int height) {
  return static_cast<float>(127 - height) / 128.0f;
}

TEST(TerrainTest, ReturnsOnlyKnownBlocksAndFillsBelowTheFillLevel) {
  EnsureNoiseTables();
  // The world's blocks but the top soil, which is laid on afterwards.
  std::set<int> known(TerrainShape::WORLD_BLOCKS.begin(), TerrainShape::WORLD_BLOCKS.end());
  known.erase(TerrainShape::TOP_SOIL_BLOCK);
  known.erase(TerrainShape::HIGH_TOP_SOIL_BLOCK);
  known.insert(TerrainShape::OPEN_BLOCK);
  std::map<int, int> count;
  for (int x = -300; x <= 300; x += 37) {
    for (int z = -300; z <= 300; z += 41) {
      for (int height = 0; height < 128; height += 3) {
        const int id = GetTerrainBlock(ColumnCoordinate(x), Depth(height), ColumnCoordinate(z));
        ASSERT_TRUE(known.count(id)) << id << " at " << x << " " << height << " " << z;
        ++count[id];
        // Open space and surface at or below the fill level (heights 0..39)
        // are 8 and 12, above it 0 and 3.
        if (id == 8 || id == 12) {
          EXPECT_LE(height, 39);
        } else if (id == 3) {
          EXPECT_GE(height, 40);
        }
      }
    }
  }
  // The sample reaches open sky, fill, and the ground with its surface.
  for (int id : {0, 1, 3, 8}) EXPECT_GT(count[id], 0) << "block " << id;
}

}  // namespace
