#include "world/Chunk.h"

#include <memory>

#include "world/TerrainGenerator.h"
#include "world/TerrainShape.h"

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

std::shared_ptr<TChunk> TChunk::NewUnregistered(int x, int z) {
  auto chunk = std::make_shared<TChunk>(TKey{});
  chunk->ChunkX = x;
  chunk->ChunkZ = z;
  return chunk;
}

void TChunk::GenerateData() {
  // One generator per worker thread, kept for its scratch space.
  thread_local std::unique_ptr<TTerrainGenerator> generator;
  if (!generator) generator = std::make_unique<TTerrainGenerator>();
  generator->Generate(ChunkX, ChunkZ, VoxelData);
  ComputeHeights();
  PlaceTopSoil();
  ComputeLight();
}

void TChunk::GenerateVoxels(TTerrainFunction terrain) {
  for (int k = 0; k < VOXEL_GRID_DEPTH; ++k) {
    for (int j = 0; j < CHUNK_HEIGHT; ++j) {
      for (int i = 0; i < VOXEL_GRID_WIDTH; ++i) {
        const int id = terrain(GeneratorX(ChunkX, i), GeneratorY(j), GeneratorZ(ChunkZ, k));
        VoxelData[i][CHUNK_HEIGHT - 1 - j][k] = static_cast<std::uint8_t>(id & 255);
      }
    }
  }
}

void TChunk::ComputeHeights() {
  // Layer by layer from the top, a whole row of k at a time (k is contiguous).
  // A column's first block from the top is its height; a column whose only
  // block is at y = 0 keeps the same 0 as an empty one.
  for (int i = 0; i < VOXEL_GRID_WIDTH; ++i) {
    std::uint8_t heights[VOXEL_GRID_DEPTH] = {};
    for (int y = CHUNK_HEIGHT - 1; y > 0; --y) {
      const std::uint8_t* layer = VoxelData[i][y];
      bool open = false;
      for (int k = 0; k < VOXEL_GRID_DEPTH; ++k) {
        if (heights[k] == 0 && layer[k] != 0) heights[k] = static_cast<std::uint8_t>(y);
        open |= heights[k] == 0;
      }
      if (!open) break;
    }
    for (int k = 0; k < VOXEL_GRID_DEPTH; ++k) Height[i][k] = heights[k];
  }
}

void TChunk::PlaceTopSoil() {
  // The outermost ring (indices 0 and 35) is left as generated: only its
  // heights are read, by the light of the chunk's edge columns. A cell's test
  // reads only cells that no test changes to or from 0, so the order of the
  // cells does not matter.
  for (int i = 1; i < VOXEL_GRID_WIDTH - 1; ++i) {
    for (int y = CHUNK_HEIGHT - 1; y >= 1; --y) {
      const std::uint8_t* above = VoxelData[i][y];
      std::uint8_t* below = VoxelData[i][y - 1];
      const std::uint8_t soil = TerrainShape::TopSoilBlock(y);
      for (int k = 1; k < VOXEL_GRID_DEPTH - 1; ++k) {
        if (TerrainShape::IsExposedSurface(below[k], above[k])) below[k] = soil;
      }
    }
  }
}

void TChunk::ComputeLight() {
  // A cell below its column's top gets 5 for each column of the 5 x 5 around
  // it (array indices x..x + 4, z..z + 4) whose top lies strictly below it:
  // from a count of the 25 tops per height, the columns below y are the
  // running sum over the heights under y.
  for (int z = 0; z < CHUNK_DEPTH; ++z) {
    for (int x = 0; x < CHUNK_WIDTH; ++x) {
      int tops[CHUNK_HEIGHT] = {};
      for (int a = 0; a < 25; ++a) ++tops[Height[x + a % 5][z + a / 5]];
      const int h = Height[x + 2][z + 2];
      int below = 0;  // columns whose top is under y
      for (int y = 0; y < CHUNK_HEIGHT; ++y) {
        std::uint8_t& light = Light[x + 2][y][z + 2];
        if (y >= h) {
          light = OPEN_SKY_LIGHT;
        } else {
          light = static_cast<std::uint8_t>(light + LIGHT_PER_LOWER_COLUMN * below);
        }
        below += tops[y];
      }
    }
  }
}
