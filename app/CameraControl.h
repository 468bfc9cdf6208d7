#pragma once

#include <memory>
#include <vector>

#include "platform/Platform.h"
#include "scene/Camera.h"

class TChunk;

// Steering the camera and keeping a square of chunks loaded around it. The
// camera flies along world +X by itself while fewer than ViewRadius chunks are
// pending; the mouse turns it, one degree per pixel. Main thread only.
//
// The loaded square around camera chunk (cx, cz) is every chunk (x, z) with
// cx - R <= x <= cx + R - 1 and cz - R <= z <= cz + R - 1; chunks are dropped
// only when more than 2R away in X or Z.

// The steering and streaming state is one piece: a test starts afresh with
// `CameraControlState = {}`. The program reads and writes it by the names
// below, which are the fields themselves.
struct TCameraControlState {
  int ViewRadius = 5;     // R, in chunks
  int PendingChunks = 0;  // queued chunks whose callback has not run yet
  int CameraPitch = 0;    // degrees, kept within -90..90
  int CameraYaw = 90;     // degrees, never wrapped
  int CameraChunkX = 0;   // the camera's chunk at the last streaming step
  int CameraChunkZ = 0;
  std::shared_ptr<TCamera> MainCamera;
};
inline TCameraControlState CameraControlState;

inline int& ViewRadius = CameraControlState.ViewRadius;
inline int& PendingChunks = CameraControlState.PendingChunks;
inline int& CameraPitch = CameraControlState.CameraPitch;
inline int& CameraYaw = CameraControlState.CameraYaw;
inline int& CameraChunkX = CameraControlState.CameraChunkX;
inline int& CameraChunkZ = CameraControlState.CameraChunkZ;
inline std::shared_ptr<TCamera>& MainCamera = CameraControlState.MainCamera;

// Where start-up puts the camera, and so which square it queues first. The
// viewer always starts from the defaults; voxeltool shot can start anywhere.
struct TCameraStart {
  float X = 0.0f, Y = 100.0f, Z = 0.0f;  // world coordinates
  int Yaw = 90;                          // degrees, CameraYaw's start
  int Pitch = 0;                         // degrees, CameraPitch's start, -90..90
};
inline TCameraStart CameraStart;

struct TChunkPosition {
  int X = 0;
  int Z = 0;
  bool operator==(const TChunkPosition&) const = default;
};

// The chunk grid coordinate of a world coordinate: divided by the chunk width
// (32) and truncated toward zero, so -31.9 is still chunk 0.
int CameraChunkCoordinate(float world);
// Whether a chunk is too far from the camera's chunk to keep.
bool IsChunkOutOfRange(int chunkX, int chunkZ, int cameraChunkX, int cameraChunkZ, int radius);
// The chunks that enter the loaded square when the camera moves from chunk
// (fromX, fromZ) to (toX, toZ), in the order they are queued.
std::vector<TChunkPosition> ChunksEnteringView(int fromX, int fromZ, int toX, int toZ, int radius);

// The first 2R x 2R chunks, in the order they are queued: x from R - 1 down to
// -R, and for each x, z from -R up to R - 1, around chunk (0, 0) or, given,
// around the camera's chunk (centreX, centreZ).
std::vector<TChunkPosition> InitialChunks(int radius, int centreX = 0, int centreZ = 0);

// Puts MainCamera at CameraStart and sets the steering state to match.
void PlaceCameraAtStart();
// Queues the InitialChunks around the camera's chunk and centres the pointer.
void CreateInitialChunks(TPlatform& platform);
// Drops far chunks and queues new ones when the camera entered another chunk.
void UpdateChunkStreaming();
// Mouse look, re-centring of the pointer, and the camera's forward step.
void UpdateCameraControl(TPlatform& platform);
// The completion callback of every chunk streaming queues.
int OnChunkGenerated(TChunk& chunk);
