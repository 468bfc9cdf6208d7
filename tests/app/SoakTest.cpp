// A long flight over streamed terrain with the real start-up, workers, uploads
// and drawing, fast-forwarded: no 60 Hz wait, frames with nothing to do are
// skipped, and the camera jumps to the next chunk border instead of creeping
// 0.2 units a frame. It still waits while ViewRadius or more chunks are
// pending, so every crossing queues a real column or row and drops the far
// ones, as in the viewer.
//
// VX_SOAK_CROSSINGS sets how many borders the camera crosses along +X (at
// least 20); it also crosses 12 along -Z.
#include <GL/glew.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <set>
#include <thread>
#include <utility>

#include "app/CameraControl.h"
#include "app/Program.h"
#include "app/Renderer.h"
#include "tests/app/ScriptedPlatform.h"
#include "tests/support/TempDir.h"
#include "tests/support/WorkingDirectory.h"
#include "world/Chunk.h"

namespace {

using TClock = std::chrono::steady_clock;

constexpr int kDefaultCrossingsAlongX = 300;
constexpr int kCrossingsAlongZ = 12;  // more than 2R + 1, so rows are dropped too
constexpr int kTurnAfterX = 2;        // X crossings before the stretch along -Z
constexpr int kJumpAtX = 10;          // one move of two chunks at once, at this X count
constexpr int kBaselineCrossing = 20;
// No chunk finished for this long: the pipeline has stalled.
constexpr double kStallSeconds = 300.0;
constexpr long long kMiB = 1 << 20;
// What resident memory may grow by, beyond the growth of the live chunk data:
// heap fragmentation in the main and the eight worker arenas, and the driver.
constexpr long long kMemorySlack = 32 * kMiB;

int CrossingsAlongX() {
  const char* text = std::getenv("VX_SOAK_CROSSINGS");
  return std::max(text ? std::atoi(text) : kDefaultCrossingsAlongX, 20);
}

long long ResidentBytes() {
  std::ifstream statm("/proc/self/statm");
  long long size = 0, resident = 0;
  statm >> size >> resident;
  return resident * sysconf(_SC_PAGESIZE);
}

double SecondsSince(TClock::time_point start) {
  return std::chrono::duration<double>(TClock::now() - start).count();
}

bool ChunkWaitingForUpload() {
  std::lock_guard lock(TChunk::FinishedMutex);
  return !TChunk::FinishedQueue.empty();
}

// What the mesh list holds, read on the main thread between frames.
struct TCensus {
  std::size_t Meshes = 0;
  // Each chunk's own arrays plus its uploaded vertices: llvmpipe keeps buffer
  // storage in the process's memory.
  long long LiveBytes = 0;
  bool Duplicates = false;
  bool OutsideWindow = false;
};

// Where the list's chunks may lie. The camera only moves toward +X and -Z, so
// nothing was ever queued beyond the square ahead of it, which reaches R - 1
// chunks ahead along +X but R along -Z (the square has R chunks on its
// negative side), and streaming drops whatever lies more than 2R behind: a
// window of 3R x (3R + 1) chunks.
bool InsideWindow(int chunkX, int chunkZ) {
  const int r = ViewRadius;
  return chunkX >= CameraChunkX - 2 * r && chunkX <= CameraChunkX + r - 1 &&
         chunkZ >= CameraChunkZ - r && chunkZ <= CameraChunkZ + 2 * r;
}

TCensus TakeCensus() {
  TCensus census;
  census.Meshes = TRenderRegistry::MeshList.size();
  std::set<std::pair<int, int>> positions;
  for (const auto& mesh : TRenderRegistry::MeshList) {
    const auto* chunk = dynamic_cast<const TChunk*>(mesh.get());
    if (!chunk) continue;
    census.Duplicates |= !positions.emplace(chunk->ChunkX, chunk->ChunkZ).second;
    census.OutsideWindow |= !InsideWindow(chunk->ChunkX, chunk->ChunkZ);
    census.LiveBytes += static_cast<long long>(sizeof(TChunk));
    if (chunk->VBO) census.LiveBytes += chunk->VBO->DataBuffered;
  }
  return census;
}

class SoakTest : public ::testing::Test {
 protected:
  void SetUp() override { Data.CopyAllData(); }

  // One frame in the viewer's order. Drawing 150-odd chunks costs llvmpipe far
  // more than the rest, so it is drawn only when the camera has moved since
  // the last drawn frame: once per crossing, which shows every chunk uploaded
  // since, at its new place, after the last drop.
  void Frame() {
    const bool draw = MainCamera->Position.X != DrawnX || MainCamera->Position.Z != DrawnZ;
    if (draw) {
      TRenderer::RenderWorld();
      DrawnX = MainCamera->Position.X;
      DrawnZ = MainCamera->Position.Z;
      ++Draws;
    }
    UpdateChunkStreaming();
    TChunk::UpdateChunks();
    UpdateCameraControl(Platform);
    if (draw) Platform.Flip();
    ++Frames;
  }

  // Frames the viewer would run with nothing to do (nothing to upload, the
  // camera waiting) are skipped; the main thread sleeps instead of spinning,
  // leaving the cores to the workers.
  static bool FrameHasWork() { return PendingChunks < ViewRadius || ChunkWaitingForUpload(); }

  // Sleeps until `hasWork`; false if that takes longer than kStallSeconds.
  static bool AwaitWork(bool (*hasWork)()) {
    const TClock::time_point since = TClock::now();
    while (!hasWork()) {
      if (SecondsSince(since) > kStallSeconds) return false;
      std::this_thread::sleep_for(std::chrono::microseconds(500));
    }
    return true;
  }

  // Moves the camera to just past the next border along +X, or -Z while
  // turned, with the same world-frame Move as the viewer's own step.
  void FastForward(bool alongZ, int chunks) {
    const float x = MainCamera->Position.X;
    const float z = MainCamera->Position.Z;
    if (alongZ) {
      // Chunk coordinates truncate toward zero: chunk -1 starts at Z = -32.
      MainCamera->Move(0.0f, 0.0f, 32.0f * static_cast<float>(CameraChunkZ - chunks) - 0.5f - z, 1);
    } else {
      MainCamera->Move(32.0f * static_cast<float>(CameraChunkX + chunks) + 0.5f - x, 0.0f, 0.0f, 1);
    }
  }

  TTempDir Data;
  TWorkingDirectory InData{Data.Path()};
  TScriptedPlatform Platform;
  float DrawnX = -1.0f, DrawnZ = -1.0f;
  long long Frames = 0;
  long long Draws = 0;
};

TEST_F(SoakTest, StreamingKeepsTheMeshListAndMemoryBoundedWithoutGlErrors) {
  // Progress shows as it happens, also when the output goes to a file.
  std::setvbuf(stdout, nullptr, _IOLBF, 0);
  const TClock::time_point start = TClock::now();
  TProgram::Startup(Platform);
  ASSERT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
  const int alongX = CrossingsAlongX();
  const int r = ViewRadius;
  std::printf("soak: %d crossings along +X, %d along -Z; RSS after start-up %lld MiB\n", alongX,
              kCrossingsAlongZ, ResidentBytes() / kMiB);

  int crossedX = 0, crossedZ = 0;
  int lastZCrossingChunkX = 0;
  std::size_t maxMeshes = 0;
  long long liveHighWater = 0;
  long long baselineRss = 0, baselineHighWater = 0, maxRss = 0;

  while (crossedX < alongX) {
    ASSERT_TRUE(AwaitWork(FrameHasWork)) << PendingChunks << " chunks pending, none finishing";
    const int fromX = CameraChunkX, fromZ = CameraChunkZ;
    Frame();
    ASSERT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR)) << "frame " << Frames;
    const TCensus census = TakeCensus();
    liveHighWater = std::max(liveHighWater, census.LiveBytes);

    if (CameraChunkX != fromX || CameraChunkZ != fromZ) {
      crossedX += CameraChunkX - fromX;
      crossedZ += fromZ - CameraChunkZ;
      if (CameraChunkZ != fromZ) lastZCrossingChunkX = CameraChunkX;
      const int crossings = crossedX + crossedZ;
      maxMeshes = std::max(maxMeshes, census.Meshes);

      // Moving one way along each axis, no grid position is queued twice, so
      // the list holds at most one chunk per place of the window. Once the
      // last turn is 3R or more chunks behind, it is exactly the 3R columns
      // of 2R chunks queued since.
      ASSERT_FALSE(census.Duplicates) << "crossing " << crossings;
      ASSERT_FALSE(census.OutsideWindow) << "crossing " << crossings;
      ASSERT_LE(census.Meshes, static_cast<std::size_t>(3 * r * (3 * r + 1)))
          << "crossing " << crossings;
      if (CameraChunkX - lastZCrossingChunkX >= 3 * r) {
        ASSERT_EQ(census.Meshes, static_cast<std::size_t>(3 * r * 2 * r))
            << "crossing " << crossings;
      }

      // Past the first crossings, resident memory grows only as far as the
      // live chunk data sets a new high-water mark: whatever a dropped chunk
      // held is given back and used again.
      const long long rss = ResidentBytes();
      if (baselineRss == 0 && crossings >= kBaselineCrossing) {
        baselineRss = rss;
        baselineHighWater = liveHighWater;
      }
      if (baselineRss != 0) {
        maxRss = std::max(maxRss, rss);
        ASSERT_LE(rss, baselineRss + (liveHighWater - baselineHighWater) + kMemorySlack)
            << "crossing " << crossings;
      }
      if (crossings % 10 == 0) {
        std::printf(
            "soak: crossing %d: %zu meshes, live chunks %lld MiB, RSS %lld MiB, %lld frames, "
            "%.0f s\n",
            crossings, census.Meshes, census.LiveBytes / kMiB, rss / kMiB, Frames,
            SecondsSince(start));
      }
    }

    if (PendingChunks < r) {
      const bool turned = crossedX >= kTurnAfterX && crossedZ < kCrossingsAlongZ;
      FastForward(turned, !turned && crossedX == kJumpAtX ? 2 : 1);
    }
  }
  EXPECT_EQ(crossedZ, kCrossingsAlongZ);

  // Every queued chunk, dropped or not, is built, uploaded and called back.
  while (PendingChunks > 0) {
    ASSERT_TRUE(AwaitWork(ChunkWaitingForUpload)) << PendingChunks << " chunks never finished";
    Frame();
    ASSERT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR)) << "frame " << Frames;
  }
  EXPECT_EQ(PendingChunks, 0);
  EXPECT_FALSE(ChunkWaitingForUpload());
  DrawnX = -1.0f;
  Frame();
  EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));

  std::printf(
      "soak: %d crossings in %.0f s, %lld frames (%lld drawn); at most %zu meshes; "
      "RSS %lld MiB at crossing %d, at most %lld MiB after it, %lld MiB at the end\n",
      crossedX + crossedZ, SecondsSince(start), Frames, Draws, maxMeshes, baselineRss / kMiB,
      kBaselineCrossing, maxRss / kMiB, ResidentBytes() / kMiB);
}

}  // namespace
