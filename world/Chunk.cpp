#include "world/Chunk.h"

#include "world/Terrain.h"

namespace {

// Block IDs the generator writes over exposed surface blocks (ID 3).
constexpr std::uint8_t kSurfaceBlock = 3;
constexpr std::uint8_t kTopSoil = 2;
constexpr std::uint8_t kHighTopSoil = 78;
constexpr int kHighTopSoilLevel = 96;  // height of the open cell above, not of the block

constexpr std::uint8_t kOpenSkyLight = 185;
constexpr std::uint8_t kLightPerOpenColumn = 5;

}  // namespace

TChunk::TChunk(TKey key) : TMesh(key) {
  // Skipped by the renderer until a worker has built it and the main thread
  // has uploaded it.
  Hidden = 1;
}

std::shared_ptr<TChunk> TChunk::New() {
  auto chunk = std::make_shared<TChunk>(TKey{});
  Register(chunk);
  return chunk;
}

void TChunk::GenerateData() {
  GenerateVoxels(GetTerrainBlock);
  ComputeHeights();
  PlaceTopSoil();
  ComputeLight();
}

void TChunk::GenerateVoxels(TTerrainFunction terrain) {
  // Generator coordinates: x and z are (world + 32768) / 128, y is the depth
  // (127 - height) / 128; all exact in single precision.
  for (int k = 0; k < VOXEL_GRID_DEPTH; ++k) {
    for (int j = 0; j < CHUNK_HEIGHT; ++j) {
      for (int i = 0; i < VOXEL_GRID_WIDTH; ++i) {
        const float gx =
            static_cast<float>((ChunkX + CHUNK_OFFSET) * CHUNK_WIDTH + i - 2) * CHUNK_SCALE;
        const float gy = static_cast<float>(j) * CHUNK_SCALE;
        const float gz =
            static_cast<float>((ChunkZ + CHUNK_OFFSET) * CHUNK_DEPTH + k - 2) * CHUNK_SCALE;
        VoxelData[i][CHUNK_HEIGHT - 1 - j][k] =
            static_cast<std::uint8_t>(terrain(gx, gy, gz) & 255);
      }
    }
  }
}

void TChunk::ComputeHeights() {
  for (int k = 0; k < VOXEL_GRID_DEPTH; ++k) {
    for (int i = 0; i < VOXEL_GRID_WIDTH; ++i) {
      int y = CHUNK_HEIGHT - 1;
      while (y > 0 && VoxelData[i][y][k] == 0) --y;
      // A column whose only block is at y = 0 gets the same 0 as an empty one.
      Height[i][k] = static_cast<std::uint8_t>(y);
    }
  }
}

void TChunk::PlaceTopSoil() {
  // The outermost ring (indices 0 and 35) is left as generated: only its
  // heights are read, by the light of the chunk's edge columns.
  for (int k = 1; k < VOXEL_GRID_DEPTH - 1; ++k) {
    for (int i = 1; i < VOXEL_GRID_WIDTH - 1; ++i) {
      for (int y = CHUNK_HEIGHT - 1; y >= 1; --y) {
        if (VoxelData[i][y][k] == 0 && VoxelData[i][y - 1][k] == kSurfaceBlock) {
          VoxelData[i][y - 1][k] = y < kHighTopSoilLevel ? kTopSoil : kHighTopSoil;
        }
      }
    }
  }
}

void TChunk::ComputeLight() {
  // A cell below its column's top gets 5 for each column of the 5 x 5 around
  // it (array indices x..x + 4, z..z + 4) whose top lies strictly below it.
  for (int z = 0; z < CHUNK_DEPTH; ++z) {
    for (int x = 0; x < CHUNK_WIDTH; ++x) {
      const int h = Height[x + 2][z + 2];
      for (int y = 0; y < CHUNK_HEIGHT; ++y) {
        std::uint8_t& light = Light[x + 2][y][z + 2];
        if (y >= h) {
          light = kOpenSkyLight;
          continue;
        }
        for (int a = 0; a < 25; ++a) {
          if (Height[x + a % 5][z + a / 5] < y) light += kLightPerOpenColumn;
        }
      }
    }
  }
}
