#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "world/Chunk.h"

// Helpers shared by the world tests. Every test case runs in a process of its
// own, so the global tables start empty in each.

// Makes the noise tables unless this process already has them.
void EnsureNoiseTables();

// Registers a solid block class for `id` whose face i shows atlas tile
// firstTile + i, and fills the AO tile coordinates.
void RegisterBlock(int id, int firstTile = 1, bool solid = true);

// Polls `done` until it holds (true) or two minutes pass (false): the workers
// take their time on a loaded machine.
bool WaitUntil(const std::function<bool()>& done);

// The lengths of the work and finished queues, read under their locks.
std::size_t QueuedCount();
std::size_t FinishedCount();

// A new chunk (in the mesh list, hidden) with all arrays zero.
std::shared_ptr<TChunk> MakeEmptyChunk();

// Sets VoxelData[x + 2][y][z + 2] for local coordinates (x, z from -2 to 33).
void SetBlock(TChunk& chunk, int x, int y, int z, std::uint8_t id);

// Fills every array column (rings included) with block `id` from y = 0 to `height`.
void FillColumns(TChunk& chunk, int height, std::uint8_t id = 1);

// Heights and light from the chunk's hand-made VoxelData, as generation would.
void ComputeHeightsAndLight(TChunk& chunk);

// One quad of a chunk's vertex data, decoded; arrays are per corner 1..4.
struct TFace {
  std::array<std::array<float, 3>, 4> Position;  // local chunk coordinates
  std::array<std::array<float, 3>, 4> Normal;
  std::array<std::array<std::uint8_t, 4>, 4> Colour;
  std::array<std::array<float, 3>, 4> Tile;  // texture unit 0 (block atlas): s, t, r
  std::array<std::array<float, 3>, 4> AO;    // texture unit 1 (ambient-occlusion atlas)

  // The integer direction of corner 1's normal, from the open cell into the block.
  std::array<int, 3> Direction() const;
  // The open cell the face is seen from: its centre minus 0.502 along the normal.
  std::array<int, 3> OpenCell() const;
  // The AO tile number shown, from corner 1's texture coordinates.
  int AOTile() const;
};

// The faces of a chunk's VertexData (VertexCount / 4 quads), in order.
std::vector<TFace> DecodeFaces(const TChunk& chunk);
// DecodeFaces of the records at `buffer` (`count` quads).
std::vector<TFace> DecodeFaces(const std::uint8_t* buffer, int count);
