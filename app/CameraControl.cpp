#include "app/CameraControl.h"

#include <algorithm>
#include <cstdlib>

#include "app/Renderer.h"
#include "world/Chunk.h"

namespace {

void CentrePointer(TPlatform& platform) {
  platform.MoveMouse(TRenderer::ScreenWidth / 2, TRenderer::ScreenHeight / 2);
  // The jump of the pointer is not the user's motion.
  platform.MouseXMotion();
  platform.MouseYMotion();
}

void QueueChunk(const TChunkPosition& position) {
  TChunk::CreateChunk(position.X, position.Z, OnChunkGenerated);
  ++PendingChunks;
}

}  // namespace

int CameraChunkCoordinate(float world) {
  // One function serves both axes.
  static_assert(TChunk::CHUNK_WIDTH == TChunk::CHUNK_DEPTH);
  return static_cast<int>(world / static_cast<float>(TChunk::CHUNK_WIDTH));
}

bool IsChunkOutOfRange(int chunkX, int chunkZ, int cameraChunkX, int cameraChunkZ, int radius) {
  return std::abs(chunkX - cameraChunkX) > 2 * radius ||
         std::abs(chunkZ - cameraChunkZ) > 2 * radius;
}

std::vector<TChunkPosition> ChunksEnteringView(int fromX, int fromZ, int toX, int toZ, int radius) {
  std::vector<TChunkPosition> entering;
  const int dx = fromX - toX;
  const int dz = fromZ - toZ;
  // Whole columns across the new Z range for a move along X ...
  for (int i = 0; i < std::abs(dx); ++i) {
    const int x = dx < 0 ? fromX + radius + i : fromX - radius - 1 - i;
    for (int j = 0; j < 2 * radius; ++j) entering.push_back({x, toZ - radius + j});
  }
  // ... and whole rows across the new X range for a move along Z.
  for (int i = 0; i < std::abs(dz); ++i) {
    const int z = dz < 0 ? fromZ + radius + i : fromZ - radius - 1 - i;
    for (int j = 0; j < 2 * radius; ++j) entering.push_back({toX - radius + j, z});
  }
  return entering;
}

std::vector<TChunkPosition> InitialChunks(int radius, int centreX, int centreZ) {
  std::vector<TChunkPosition> square;
  for (int a = 2 * radius - 1; a >= 0; --a) {
    for (int b = 0; b < 2 * radius; ++b)
      square.push_back({centreX + a - radius, centreZ + b - radius});
  }
  return square;
}

void PlaceCameraAtStart() {
  MainCamera->Move(CameraStart.X, CameraStart.Y, CameraStart.Z, 0);
  CameraYaw = CameraStart.Yaw;
  CameraPitch = CameraStart.Pitch;
  // The camera starts inside the square it queues, so the first frames have
  // nothing more to stream.
  CameraChunkX = CameraChunkCoordinate(CameraStart.X);
  CameraChunkZ = CameraChunkCoordinate(CameraStart.Z);
}

void CreateInitialChunks(TPlatform& platform) {
  for (const TChunkPosition& position : InitialChunks(ViewRadius, CameraChunkX, CameraChunkZ))
    QueueChunk(position);
  CentrePointer(platform);
}

void UpdateChunkStreaming() {
  const int cx = CameraChunkCoordinate(MainCamera->Position.X);
  const int cz = CameraChunkCoordinate(MainCamera->Position.Z);
  if (cx == CameraChunkX && cz == CameraChunkZ) return;

  std::erase_if(TRenderRegistry::MeshList, [&](const std::shared_ptr<TMesh>& mesh) {
    const auto* chunk = dynamic_cast<const TChunk*>(mesh.get());
    return chunk && IsChunkOutOfRange(chunk->ChunkX, chunk->ChunkZ, cx, cz, ViewRadius);
  });
  for (const TChunkPosition& position :
       ChunksEnteringView(CameraChunkX, CameraChunkZ, cx, cz, ViewRadius)) {
    QueueChunk(position);
  }
  CameraChunkX = cx;
  CameraChunkZ = cz;
}

void UpdateCameraControl(TPlatform& platform) {
  CameraPitch -= platform.MouseYMotion();
  CameraYaw += platform.MouseXMotion();
  CameraPitch = std::clamp(CameraPitch, -90, 90);
  MainCamera->Rotate(static_cast<float>(CameraPitch), 0.0f, 0.0f);
  MainCamera->Turn(0.0f, static_cast<float>(CameraYaw), 0.0f);
  CentrePointer(platform);
  if (PendingChunks < ViewRadius) MainCamera->Move(0.2f, 0.0f, 0.0f, 1);
}

int OnChunkGenerated(TChunk&) {
  --PendingChunks;
  return 0;
}
