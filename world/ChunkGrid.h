#pragma once

#include "blocks/VoxelGrid.h"

// The grid of chunks laid over the world, and where a chunk's array cells lie
// in the terrain's coordinates. Apart from TChunk, which takes all of it as its
// own (TChunk::CHUNK_WIDTH, TChunk::GeneratorX), so that the terrain generator
// can place its cells without knowing chunks.
struct TChunkGrid {
  static constexpr int CHUNK_OFFSET = 1024;
  static constexpr int CHUNK_WIDTH = 32;
  static constexpr int CHUNK_DEPTH = 32;
  static constexpr int CHUNK_HEIGHT = 128;
  static constexpr float CHUNK_SCALE = 0.0078125f;  // block units -> terrain units

  // Generator coordinates of array index i (x), row j (depth, 127 - y) and index
  // k (z) of chunk (chunkX, chunkZ): x and z are (world + 32768) / 128, y is
  // (127 - height) / 128, all exact in single precision.
  static float GeneratorX(int chunkX, int i) {
    return static_cast<float>((chunkX + CHUNK_OFFSET) * CHUNK_WIDTH + i - 2) * CHUNK_SCALE;
  }
  static float GeneratorY(int j) { return static_cast<float>(j) * CHUNK_SCALE; }
  static float GeneratorZ(int chunkZ, int k) {
    return static_cast<float>((chunkZ + CHUNK_OFFSET) * CHUNK_DEPTH + k - 2) * CHUNK_SCALE;
  }
};

static_assert(TChunkGrid::CHUNK_WIDTH + 4 == VOXEL_GRID_WIDTH &&
                  TChunkGrid::CHUNK_DEPTH + 4 == VOXEL_GRID_DEPTH &&
                  TChunkGrid::CHUNK_HEIGHT == VOXEL_GRID_HEIGHT,
              "a chunk's arrays hold its columns and a ring two columns wide");
