#pragma once

#include <array>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <semaphore>
#include <thread>
#include <vector>

#include "blocks/VoxelGrid.h"
#include "gpu/Mesh.h"
#include "world/ChunkGrid.h"

// A column of the world 32 x 128 x 32 blocks: the unit of generation, meshing
// and drawing. Its arrays carry a ring two columns wide of the neighbouring
// terrain (generated here from the same function), so no chunk ever reads
// another and chunks can be built in any order, in parallel.
//
// Array indices: i = local x + 2 and k = local z + 2, both 0..35 (2..33 are the
// chunk's own columns), y = world height 0..127. Local (x, y, z) is world
// (32 * ChunkX + x, y, 32 * ChunkZ + z); block (X, Y, Z) is the unit cube
// centred on that point.
//
// Threads: the main thread creates, uploads and drops chunks; one worker at a
// time runs GenerateData and BuildVertexData on a queued chunk. The last
// reference to a chunk is always dropped on the main thread, since its
// destructor deletes its OpenGL buffer.
//
// The grid's sizes and the generator coordinates of the cells come from
// TChunkGrid (CHUNK_WIDTH, GeneratorX, ...).
class TChunk : public TMesh, public TChunkGrid {
 public:
  static constexpr int MAX_WORKER_THREADS = 8;
  static constexpr int WORKER_NICENESS = 10;  // workers yield the cores to the main thread
  // Light of a cell at or above its column's top, and what each column of the
  // 5 x 5 around it whose top lies strictly below adds to a cell under the top.
  static constexpr std::uint8_t OPEN_SKY_LIGHT = 185;
  static constexpr std::uint8_t LIGHT_PER_LOWER_COLUMN = 5;
  // Half the edge of a face quad: a little over 0.5, so quads of neighbouring
  // blocks overlap and no crack shows between them.
  static constexpr float FACE_HALF_SIZE = 0.502f;

  // A hidden chunk, registered in TRenderRegistry::MeshList, with zero-filled arrays.
  static std::shared_ptr<TChunk> New();
  // A chunk at grid (x, z) that no registry knows of, for tools that build
  // chunks in bulk: generated and meshed like any other but never drawn, and
  // released with its last reference. Safe to make on any thread.
  static std::shared_ptr<TChunk> NewUnregistered(int x, int z);
  explicit TChunk(TKey key);

  std::vector<std::uint8_t> VertexData;  // built by a worker, released by BuildMesh
  int ChunkX = 0;
  int ChunkZ = 0;
  std::function<int(TChunk&)> GenerationCallback;  // runs on the main thread after upload
  TVoxelGrid VoxelData{};                          // block IDs [i][y][k]
  std::uint8_t Height[VOXEL_GRID_WIDTH][VOXEL_GRID_DEPTH]{};  // top non-empty y, or 0
  TVoxelGrid Light{};  // own columns only: OPEN_SKY_LIGHT at/above the top, less below

  // Fills VoxelData, Height and Light from the terrain (worker thread).
  void GenerateData();

  // The block ID at terrain-generator coordinates, as GetTerrainBlock takes them.
  using TTerrainFunction = int (*)(float x, float y, float z);
  // The four passes of GenerateData, in its order. Each reads only what the
  // earlier ones wrote, so the later ones also run on hand-made arrays.
  void GenerateVoxels(TTerrainFunction terrain);  // VoxelData of all 36 x 36 columns
  void ComputeHeights();                          // Height of all 36 x 36 columns
  void PlaceTopSoil();                            // exposed surface -> top soil, indices 1..34
  void ComputeLight();                            // Light of the own columns, from Height

  // Uploads VertexData into a new VBO, releases it, attaches the two atlases and
  // places the chunk at (32 * ChunkX, 0, 32 * ChunkZ) (main thread).
  void BuildMesh();
  // Counts the visible faces, then writes their quads into VertexData (worker thread).
  void BuildVertexData();
  // The four records of the face seen from the open cell at local (x, y, z) in
  // direction (dx, dy, dz), half-size `size`; returns the pointer past them.
  std::uint8_t* RenderBlockFaceIntoBuffer(std::uint8_t* buffer, int x, int y, int z, int dx, int dy,
                                          int dz, float size) const;
  // 1 if local (x, y, z) is empty and its neighbour in direction d is not.
  int IsVisibleFace(int x, int y, int z, int dx, int dy, int dz) const;
  // 1 if local (x, y, z) is not empty and one of its six neighbours is.
  int IsBoundaryBlock(int x, int y, int z) const;

  // Queues a new chunk at grid (x, z) for the workers (main thread).
  static void CreateChunk(int x, int z, std::function<int(TChunk&)> callback);
  // Uploads and shows at most one finished chunk, then calls its callback (main thread).
  static void UpdateChunks();
  // Starts the MAX_WORKER_THREADS workers.
  static void InitThreads();
  // A worker's body; never returns.
  static void WaitForWork();

  // One count per queued chunk that no worker has claimed yet.
  static inline std::counting_semaphore<> WorkSemaphore{0};
  // New chunks go in at the front; workers take from the back.
  static inline std::deque<std::shared_ptr<TChunk>> WorkQueue;
  static inline std::mutex WorkMutex;
  // Workers append at the back; the main thread takes from the front.
  static inline std::deque<std::shared_ptr<TChunk>> FinishedQueue;
  static inline std::mutex FinishedMutex;
  // Handles of the detached workers; stored, not read again.
  static inline std::array<std::thread::native_handle_type, MAX_WORKER_THREADS> WorkerThreads{};
};
