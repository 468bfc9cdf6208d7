#include <gtest/gtest.h>
#include <pthread.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <functional>
#include <thread>

#include "scene/RenderRegistry.h"
#include "tests/world/WorldFixtures.h"

namespace {

int Ignore(TChunk&) {
  return 0;
}

TEST(ChunkQueueTest, NewChunksGoInAtTheFrontWithOnePostEach) {
  TChunk::CreateChunk(1, 2, Ignore);
  TChunk::CreateChunk(3, 4, Ignore);
  TChunk::CreateChunk(5, 6, nullptr);

  ASSERT_EQ(TChunk::WorkQueue.size(), 3u);
  EXPECT_EQ(TChunk::WorkQueue.front()->ChunkX, 5);
  EXPECT_EQ(TChunk::WorkQueue.back()->ChunkX, 1);
  EXPECT_EQ(TChunk::WorkQueue.back()->ChunkZ, 2);
  EXPECT_TRUE(TChunk::WorkQueue.back()->GenerationCallback);
  EXPECT_FALSE(TChunk::WorkQueue.front()->GenerationCallback);
  // Each is registered for drawing at once, hidden.
  ASSERT_EQ(TRenderRegistry::MeshList.size(), 3u);
  for (const auto& mesh : TRenderRegistry::MeshList) EXPECT_EQ(mesh->Hidden, 1);
  for (int n = 0; n < 3; ++n) EXPECT_TRUE(TChunk::WorkSemaphore.try_acquire()) << n;
  EXPECT_FALSE(TChunk::WorkSemaphore.try_acquire());
}

TEST(ChunkQueueTest, WorkerClaimsChunksInTheOrderTheyWereQueued) {
  EnsureNoiseTables();
  for (int x = 0; x < 4; ++x) TChunk::CreateChunk(x, 0, nullptr);
  // One worker alone finishes what it claims in the order it claims it.
  std::thread(TChunk::WaitForWork).detach();
  ASSERT_TRUE(WaitUntil([] { return FinishedCount() == 4; }));

  std::lock_guard lock(TChunk::FinishedMutex);
  for (int x = 0; x < 4; ++x) EXPECT_EQ(TChunk::FinishedQueue[x]->ChunkX, x);
  EXPECT_TRUE(TChunk::WorkQueue.empty());
}

TEST(ChunkQueueTest, FinishedQueueHoldsTheOnlyReferenceToADroppedChunk) {
  EnsureNoiseTables();
  TChunk::InitThreads();
  TChunk::CreateChunk(0, 0, nullptr);
  ASSERT_TRUE(WaitUntil([] { return QueuedCount() == 0; }));
  // Dropped by streaming while a worker builds it.
  TRenderRegistry::MeshList.clear();
  ASSERT_TRUE(WaitUntil([] { return FinishedCount() == 1; }));

  std::lock_guard lock(TChunk::FinishedMutex);
  EXPECT_EQ(TChunk::FinishedQueue.front().use_count(), 1);
  EXPECT_GT(TChunk::FinishedQueue.front()->VertexCount, 0);
}

TEST(ChunkQueueTest, TwoRequestsForOnePositionMakeTwoChunks) {
  EnsureNoiseTables();
  TChunk::InitThreads();
  TChunk::CreateChunk(3, -2, nullptr);
  TChunk::CreateChunk(3, -2, nullptr);
  ASSERT_TRUE(WaitUntil([] { return FinishedCount() == 2; }));

  std::lock_guard lock(TChunk::FinishedMutex);
  const TChunk& first = *TChunk::FinishedQueue[0];
  const TChunk& second = *TChunk::FinishedQueue[1];
  EXPECT_NE(&first, &second);
  EXPECT_EQ(first.VertexCount, second.VertexCount);
  EXPECT_EQ(first.VertexData, second.VertexData);
}

TEST(ChunkQueueTest, UpdateWithNothingFinishedChangesNothing) {
  const std::shared_ptr<TChunk> waiting = TChunk::New();
  TChunk::UpdateChunks();
  EXPECT_EQ(waiting->Hidden, 1);
  EXPECT_FALSE(waiting->VBO);
  EXPECT_EQ(TRenderRegistry::MeshList.size(), 1u);
  EXPECT_TRUE(TChunk::FinishedQueue.empty());
  // The lock was given back.
  ASSERT_TRUE(TChunk::FinishedMutex.try_lock());
  TChunk::FinishedMutex.unlock();
}

// The program ends with _Exit while workers may be in the middle of a chunk:
// they are detached, so nothing waits for them or aborts on their handles.
TEST(ChunkQueueDeathTest, ProcessEndsWhileWorkersBuild) {
  EXPECT_EXIT(
      {
        TChunk::InitThreads();
        EnsureNoiseTables();
        for (int n = 0; n < 3 * TChunk::MAX_WORKER_THREADS; ++n) TChunk::CreateChunk(n, 0, nullptr);
        // Every worker has claimed a chunk and is building it.
        WaitUntil([] { return QueuedCount() <= 2 * TChunk::MAX_WORKER_THREADS; });
        int detached = 0;
        for (const auto handle : TChunk::WorkerThreads) {
          pthread_attr_t attributes;
          int state = PTHREAD_CREATE_JOINABLE;
          if (pthread_getattr_np(handle, &attributes) == 0) {
            pthread_attr_getdetachstate(&attributes, &state);
            pthread_attr_destroy(&attributes);
          }
          detached += state == PTHREAD_CREATE_DETACHED;
        }
        std::_Exit(detached == TChunk::MAX_WORKER_THREADS ? 0 : 3);
      },
      ::testing::ExitedWithCode(0), "");
}

}  // namespace
