#include <gtest/gtest.h>

#include <cmath>
#include <set>

#include "app/CameraControl.h"
#include "app/Renderer.h"
#include "tests/app/ScriptedPlatform.h"
#include "world/Chunk.h"

namespace {

// No window and no workers: queued chunks stay in the work queue, where the
// test can see them.
class CameraControlTest : public ::testing::Test {
 protected:
  void SetUp() override {
    CameraControlState = {};
    TRenderer::ScreenWidth = 1024;
    TRenderer::ScreenHeight = 768;
    TRenderRegistry::MeshList.clear();
    TChunk::WorkQueue.clear();
    MainCamera = TCamera::Create();
    MainCamera->Move(0.0f, 100.0f, 0.0f, 0);
  }

  void TearDown() override {
    TChunk::WorkQueue.clear();
    TRenderRegistry::MeshList.clear();
  }

  static void MoveCameraTo(float x, float z) { MainCamera->Locate(x, 100.0f, z); }

  // Chunks queued since the work queue held `before` entries, in queuing order.
  static std::vector<TChunkPosition> QueuedSince(std::size_t before) {
    std::vector<TChunkPosition> queued;
    const std::size_t added = TChunk::WorkQueue.size() - before;
    // New chunks go in at the front, so the newest is first.
    for (std::size_t i = added; i-- > 0;) {
      queued.push_back({TChunk::WorkQueue[i]->ChunkX, TChunk::WorkQueue[i]->ChunkZ});
    }
    return queued;
  }

  static std::vector<TChunkPosition> Column(int x, int zFrom, int zTo) {
    std::vector<TChunkPosition> column;
    for (int z = zFrom; z <= zTo; ++z) column.push_back({x, z});
    return column;
  }

  static std::vector<TChunkPosition> Row(int z, int xFrom, int xTo) {
    std::vector<TChunkPosition> row;
    for (int x = xFrom; x <= xTo; ++x) row.push_back({x, z});
    return row;
  }

  static bool IsInMeshList(int x, int z) {
    for (const auto& mesh : TRenderRegistry::MeshList) {
      const auto* chunk = dynamic_cast<const TChunk*>(mesh.get());
      if (chunk && chunk->ChunkX == x && chunk->ChunkZ == z) return true;
    }
    return false;
  }

  TScriptedPlatform Platform;
};

TEST_F(CameraControlTest, ChunkCoordinatesTruncateTowardZero) {
  const struct {
    float World;
    int Chunk;
  } cases[] = {{0.0f, 0},    {31.9f, 0},   {32.0f, 1},    {-0.1f, 0},     {-31.9f, 0},
               {-32.0f, -1}, {-64.5f, -2}, {1000.0f, 31}, {-1000.0f, -31}};
  for (const auto& c : cases) EXPECT_EQ(CameraChunkCoordinate(c.World), c.Chunk) << c.World;
}

TEST_F(CameraControlTest, ChunksMoreThanTwiceTheRadiusAwayAreOutOfRange) {
  const struct {
    int X, Z;
    bool Out;
  } cases[] = {{10, 0, false}, {-10, 0, false}, {11, 0, true},   {-11, 0, true},
               {0, 10, false}, {0, -11, true},  {10, 10, false}, {3, 12, true}};
  for (const auto& c : cases)
    EXPECT_EQ(IsChunkOutOfRange(c.X, c.Z, 0, 0, 5), c.Out) << c.X << "," << c.Z;
  EXPECT_FALSE(IsChunkOutOfRange(-9, 0, 1, 0, 5));
  EXPECT_TRUE(IsChunkOutOfRange(-10, 0, 1, 0, 5));
}

TEST_F(CameraControlTest, ChunksEnteringTheSquareAfterAMove) {
  auto concat = [](std::vector<TChunkPosition> a, const std::vector<TChunkPosition>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
  };
  const struct {
    int ToX, ToZ;
    std::vector<TChunkPosition> Expected;
  } cases[] = {
      {0, 0, {}},
      {1, 0, Column(5, -5, 4)},
      {2, 0, concat(Column(5, -5, 4), Column(6, -5, 4))},
      {-1, 0, Column(-6, -5, 4)},
      {0, 1, Row(5, -5, 4)},
      {0, -1, Row(-6, -5, 4)},
      // A diagonal move: the column spans the new Z range, the row the new X range.
      {1, 1, concat(Column(5, -4, 5), Row(5, -4, 5))},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ChunksEnteringView(0, 0, c.ToX, c.ToZ, 5), c.Expected) << c.ToX << "," << c.ToZ;
  }
}

TEST_F(CameraControlTest, InitialChunksAreTheSquareAroundTheOrigin) {
  Platform.MouseX = {17};
  Platform.MouseY = {-4};
  CreateInitialChunks(Platform);

  EXPECT_EQ(PendingChunks, 100);
  ASSERT_EQ(TChunk::WorkQueue.size(), 100u);
  // Claimed from the back: the first chunk queued is (4, -5), the last (-5, 4).
  EXPECT_EQ(TChunk::WorkQueue.back()->ChunkX, 4);
  EXPECT_EQ(TChunk::WorkQueue.back()->ChunkZ, -5);
  EXPECT_EQ(TChunk::WorkQueue.front()->ChunkX, -5);
  EXPECT_EQ(TChunk::WorkQueue.front()->ChunkZ, 4);
  std::set<std::pair<int, int>> positions;
  for (const auto& chunk : TChunk::WorkQueue) positions.emplace(chunk->ChunkX, chunk->ChunkZ);
  EXPECT_EQ(positions.size(), 100u);
  EXPECT_EQ(*positions.begin(), std::make_pair(-5, -5));
  EXPECT_EQ(*positions.rbegin(), std::make_pair(4, 4));

  ASSERT_EQ(TRenderRegistry::MeshList.size(), 100u);
  for (const auto& mesh : TRenderRegistry::MeshList) EXPECT_EQ(mesh->Hidden, 1);
  // The pointer is centred and the jump is not taken for motion.
  EXPECT_EQ(Platform.PointerMoves, (std::vector<std::pair<int, int>>{{512, 384}}));
  EXPECT_TRUE(Platform.MouseX.empty());
  EXPECT_TRUE(Platform.MouseY.empty());
}

TEST_F(CameraControlTest, NothingHappensWhileTheCameraStaysInItsChunk) {
  for (const auto& [x, z] :
       {std::pair{31.9f, 0.0f}, {-31.9f, 0.0f}, {0.0f, -31.9f}, {5.0f, 20.0f}}) {
    MoveCameraTo(x, z);
    UpdateChunkStreaming();
    EXPECT_TRUE(TChunk::WorkQueue.empty()) << x << "," << z;
    EXPECT_EQ(CameraChunkX, 0);
    EXPECT_EQ(CameraChunkZ, 0);
  }
}

TEST_F(CameraControlTest, CrossingIntoChunkOneQueuesColumnFive) {
  CreateInitialChunks(Platform);
  MoveCameraTo(32.0f, 0.0f);
  UpdateChunkStreaming();
  EXPECT_EQ(QueuedSince(100), Column(5, -5, 4));
  EXPECT_EQ(PendingChunks, 110);
  EXPECT_EQ(TRenderRegistry::MeshList.size(), 110u);  // nothing is 11 chunks away yet
  EXPECT_EQ(CameraChunkX, 1);
  EXPECT_EQ(CameraChunkZ, 0);

  // The next frame in the same chunk queues nothing more.
  UpdateChunkStreaming();
  EXPECT_EQ(TChunk::WorkQueue.size(), 110u);
}

TEST_F(CameraControlTest, ATwoChunkMoveQueuesTwoColumns) {
  MoveCameraTo(64.5f, 0.0f);
  UpdateChunkStreaming();
  std::vector<TChunkPosition> expected = Column(5, -5, 4);
  const auto second = Column(6, -5, 4);
  expected.insert(expected.end(), second.begin(), second.end());
  EXPECT_EQ(QueuedSince(0), expected);
  EXPECT_EQ(PendingChunks, 20);
  EXPECT_EQ(CameraChunkX, 2);
}

TEST_F(CameraControlTest, MovingAlongZQueuesARow) {
  MoveCameraTo(0.0f, -32.0f);
  UpdateChunkStreaming();
  EXPECT_EQ(QueuedSince(0), Row(-6, -5, 4));
  EXPECT_EQ(CameraChunkZ, -1);
}

TEST_F(CameraControlTest, ChunksElevenAwayAreDroppedOthersAndPlainMeshesStay) {
  TChunk::CreateChunk(-9, 0, nullptr);
  TChunk::CreateChunk(-10, 0, nullptr);
  TChunk::CreateChunk(0, -10, nullptr);
  const auto plainMesh = TMesh::New();
  MoveCameraTo(40.0f, 0.0f);
  UpdateChunkStreaming();
  EXPECT_TRUE(IsInMeshList(-9, 0));    // 10 behind: stays
  EXPECT_FALSE(IsInMeshList(-10, 0));  // 11 behind: dropped
  EXPECT_TRUE(IsInMeshList(0, -10));
  EXPECT_NE(
      std::find(TRenderRegistry::MeshList.begin(), TRenderRegistry::MeshList.end(), plainMesh),
      TRenderRegistry::MeshList.end());
  // Dropping does not cancel: the queue still holds the dropped chunk.
  bool stillQueued = false;
  for (const auto& chunk : TChunk::WorkQueue) stillQueued |= chunk->ChunkX == -10;
  EXPECT_TRUE(stillQueued);
}

TEST_F(CameraControlTest, CompletionCallbackCountsDown) {
  CreateInitialChunks(Platform);
  OnChunkGenerated(*TChunk::WorkQueue.back());
  EXPECT_EQ(PendingChunks, 99);
}

TEST_F(CameraControlTest, MouseTurnsTheCameraOneDegreePerPixel) {
  Platform.MouseY = {-30};  // upward motion raises the pitch
  Platform.MouseX = {45};
  UpdateCameraControl(Platform);
  EXPECT_EQ(CameraPitch, 30);
  EXPECT_EQ(CameraYaw, 135);
  const TMatrix4 expected = TMatrix4().RotY(135.0f) * TMatrix4().RotX(30.0f);
  for (int i = 0; i < 16; ++i) EXPECT_NEAR(MainCamera->Rotation.A[i], expected.A[i], 1e-6f) << i;
  // Re-centred, and the jump's motion read and discarded, after every update.
  EXPECT_EQ(Platform.PointerMoves, (std::vector<std::pair<int, int>>{{512, 384}}));
}

TEST_F(CameraControlTest, PitchIsClampedAndComesBackAtOnce) {
  const struct {
    int MouseY;
    int Pitch;
  } steps[] = {{-80, 80}, {-30, 90}, {-500, 90}, {10, 80}, {300, -90}, {-5, -85}};
  for (const auto& step : steps) {
    Platform.MouseY = {step.MouseY};
    UpdateCameraControl(Platform);
    EXPECT_EQ(CameraPitch, step.Pitch) << step.MouseY;
  }
}

TEST_F(CameraControlTest, YawIsNeverWrapped) {
  for (int i = 0; i < 4; ++i) {
    Platform.MouseX = {300};
    UpdateCameraControl(Platform);
  }
  EXPECT_EQ(CameraYaw, 1290);
  Platform.MouseX = {-2000};
  UpdateCameraControl(Platform);
  EXPECT_EQ(CameraYaw, -710);
}

TEST_F(CameraControlTest, CameraAdvancesAlongWorldXOnlyWhileFewChunksArePending) {
  MainCamera->Rotate(0.0f, 37.0f, 0.0f);
  PendingChunks = 4;
  UpdateCameraControl(Platform);
  EXPECT_FLOAT_EQ(MainCamera->Position.X, 0.2f);
  EXPECT_FLOAT_EQ(MainCamera->Position.Y, 100.0f);
  EXPECT_FLOAT_EQ(MainCamera->Position.Z, 0.0f);

  PendingChunks = 5;
  Platform.MouseX = {10};
  UpdateCameraControl(Platform);
  EXPECT_FLOAT_EQ(MainCamera->Position.X, 0.2f);  // waits ...
  EXPECT_EQ(CameraYaw, 100);                      // ... but still turns
}

}  // namespace
