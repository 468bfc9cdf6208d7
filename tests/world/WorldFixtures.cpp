#include "tests/world/WorldFixtures.h"

#include <chrono>
#include <cmath>
#include <cstring>
#include <mutex>
#include <thread>

#include "blocks/BlockClass.h"
#include "world/Noise.h"

void EnsureNoiseTables() {
  if (NoiseTables.empty()) CreateNoiseTables();
}

void RegisterBlock(int id, int firstTile, bool solid) {
  auto cls = std::make_shared<TBlockClass>();
  cls->ID = id;
  for (int face = 0; face < 6; ++face) cls->FaceTexture[face] = firstTile + face;
  cls->Transparent = solid ? 0 : 1;
  TBlockClass::BlockClasses[id] = cls;
  cls->InitFields();
  TBlockClass::PrecalcAOCoordinates();
}

bool WaitUntil(const std::function<bool()>& done) {
  const auto limit = std::chrono::steady_clock::now() + std::chrono::minutes(2);
  while (!done()) {
    if (std::chrono::steady_clock::now() > limit) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
  return true;
}

std::size_t QueuedCount() {
  std::lock_guard lock(TChunk::WorkMutex);
  return TChunk::WorkQueue.size();
}

std::size_t FinishedCount() {
  std::lock_guard lock(TChunk::FinishedMutex);
  return TChunk::FinishedQueue.size();
}

std::shared_ptr<TChunk> MakeEmptyChunk() {
  return TChunk::New();
}

void SetBlock(TChunk& chunk, int x, int y, int z, std::uint8_t id) {
  chunk.VoxelData[x + 2][y][z + 2] = id;
}

void FillColumns(TChunk& chunk, int height, std::uint8_t id) {
  for (int i = 0; i < VOXEL_GRID_WIDTH; ++i) {
    for (int k = 0; k < VOXEL_GRID_DEPTH; ++k) {
      for (int y = 0; y <= height; ++y) chunk.VoxelData[i][y][k] = id;
    }
  }
}

void ComputeHeightsAndLight(TChunk& chunk) {
  chunk.ComputeHeights();
  chunk.ComputeLight();
}

std::array<int, 3> TFace::Direction() const {
  const auto& n = Normal[0];
  return {static_cast<int>(n[0]), static_cast<int>(n[1]), static_cast<int>(n[2])};
}

std::array<int, 3> TFace::OpenCell() const {
  std::array<int, 3> cell{};
  for (int axis = 0; axis < 3; ++axis) {
    float centre = 0.0f;
    for (const auto& corner : Position) centre += corner[axis] / 4.0f;
    cell[axis] = static_cast<int>(std::lround(centre - 0.502f * Normal[0][axis]));
  }
  return cell;
}

int TFace::AOTile() const {
  const long column = std::lround(AO[0][0] / TBlockClass::AO_STEP);
  const long row = std::lround(AO[0][1] / TBlockClass::AO_STEP);
  return static_cast<int>(row * 16 + column);
}

std::vector<TFace> DecodeFaces(const TChunk& chunk) {
  return DecodeFaces(chunk.VertexData.data(), chunk.VertexCount / 4);
}

std::vector<TFace> DecodeFaces(const std::uint8_t* buffer, int count) {
  std::vector<TFace> faces(static_cast<std::size_t>(count));
  for (TFace& face : faces) {
    for (int corner = 0; corner < 4; ++corner, buffer += 52) {
      std::memcpy(face.Position[corner].data(), buffer + 0, 12);
      std::memcpy(face.Normal[corner].data(), buffer + 12, 12);
      std::memcpy(face.Colour[corner].data(), buffer + 24, 4);
      std::memcpy(face.Tile[corner].data(), buffer + 28, 12);
      std::memcpy(face.AO[corner].data(), buffer + 40, 12);
    }
  }
  return faces;
}
