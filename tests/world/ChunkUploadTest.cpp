#include <GL/glew.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <functional>
#include <thread>

#include "blocks/BlockClass.h"
#include "scene/RenderRegistry.h"
#include "tests/support/GlTest.h"
#include "tests/world/WorldFixtures.h"

namespace {

// Bytes in the chunk's vertex buffer, as OpenGL reports them.
GLint BufferSize(TChunk& chunk) {
  chunk.VBO->Bind();
  GLint size = -1;
  glGetBufferParameteriv(GL_ARRAY_BUFFER, GL_BUFFER_SIZE, &size);
  return size;
}

std::shared_ptr<TChunk> ChunkAt(int x, int z) {
  for (const auto& mesh : TRenderRegistry::MeshList) {
    auto chunk = std::dynamic_pointer_cast<TChunk>(mesh);
    if (chunk && chunk->ChunkX == x && chunk->ChunkZ == z) return chunk;
  }
  return nullptr;
}

// Records the thread on which it is destroyed. Captured only by a chunk's
// callback, it goes when the chunk goes.
struct TDestructionProbe {
  explicit TDestructionProbe(std::thread::id* destroyedOn) : DestroyedOn(destroyedOn) {}
  TDestructionProbe(const TDestructionProbe&) = delete;
  TDestructionProbe& operator=(const TDestructionProbe&) = delete;
  ~TDestructionProbe() { *DestroyedOn = std::this_thread::get_id(); }

  std::thread::id* DestroyedOn;
};

class ChunkUploadTest : public GlTest {
 protected:
  void SetUp() override {
    GlTest::SetUp();
    EnsureNoiseTables();
  }
};

TEST_F(ChunkUploadTest, BuildMeshUploadsReleasesTexturesAndPlaces) {
  TBlockClass::BlockTexture = TTexture2D::New();
  TBlockClass::AOTexture = TTexture2D::New();
  RegisterBlock(1);
  struct TCase {
    int Blocks;  // 0 or 1 block in the chunk
    int X, Z;
  };
  for (const TCase& c : {TCase{1, 3, -4}, TCase{0, -1, 2}}) {
    auto chunk = MakeEmptyChunk();
    chunk->ChunkX = c.X;
    chunk->ChunkZ = c.Z;
    if (c.Blocks) SetBlock(*chunk, 5, 64, 5, 1);
    ComputeHeightsAndLight(*chunk);
    chunk->BuildVertexData();
    chunk->BuildMesh();
    EXPECT_EQ(TakeGlError(), static_cast<unsigned>(GL_NO_ERROR));
    ASSERT_TRUE(chunk->VBO);
    EXPECT_EQ(BufferSize(*chunk), c.Blocks * 24 * 52);
    EXPECT_EQ(chunk->VertexCount, c.Blocks * 24);
    EXPECT_TRUE(chunk->VertexData.empty());
    EXPECT_EQ(chunk->VertexData.capacity(), 0u);
    EXPECT_EQ(chunk->Textures[0], TBlockClass::BlockTexture);
    EXPECT_EQ(chunk->Textures[1], TBlockClass::AOTexture);
    EXPECT_FALSE(chunk->IBO);
    EXPECT_EQ(chunk->Position.X, 32.0f * c.X);
    EXPECT_EQ(chunk->Position.Y, 0.0f);
    EXPECT_EQ(chunk->Position.Z, 32.0f * c.Z);
  }
}

TEST_F(ChunkUploadTest, UploadsOneChunkPerCallShowingItBeforeItsCallback) {
  TChunk::InitThreads();
  int calls = 0;
  bool shownInCallback = false;
  TChunk::CreateChunk(0, 0, [&](TChunk& chunk) {
    ++calls;
    shownInCallback = chunk.Hidden == 0 && chunk.VBO && chunk.VertexData.empty();
    return 0;
  });
  ASSERT_TRUE(WaitUntil([] { return FinishedCount() == 1; }));
  TChunk::CreateChunk(1, 0, nullptr);  // no callback: shown all the same
  ASSERT_TRUE(WaitUntil([] { return FinishedCount() == 2; }));
  const auto first = ChunkAt(0, 0);
  const auto second = ChunkAt(1, 0);
  const int firstVertices = first->VertexCount;

  TChunk::UpdateChunks();
  EXPECT_EQ(calls, 1);
  EXPECT_TRUE(shownInCallback);
  EXPECT_EQ(first->Hidden, 0);
  EXPECT_EQ(BufferSize(*first), firstVertices * 52);
  EXPECT_EQ(second->Hidden, 1);
  EXPECT_FALSE(second->VBO);
  EXPECT_EQ(FinishedCount(), 1u);

  TChunk::UpdateChunks();
  EXPECT_EQ(second->Hidden, 0);
  EXPECT_TRUE(second->VBO);
  EXPECT_EQ(FinishedCount(), 0u);
  EXPECT_EQ(calls, 1);
  EXPECT_EQ(TakeGlError(), static_cast<unsigned>(GL_NO_ERROR));
}

TEST_F(ChunkUploadTest, DroppedChunkReachesItsCallbackAndGoesOnTheMainThread) {
  TChunk::InitThreads();
  std::thread::id destroyedOn;
  int calls = 0;
  auto probe = std::make_shared<TDestructionProbe>(&destroyedOn);
  TChunk::CreateChunk(2, 2, [probe, &calls](TChunk&) { return ++calls; });
  probe.reset();
  std::weak_ptr<TChunk> chunk = ChunkAt(2, 2);

  // Streaming drops it while a worker builds it.
  ASSERT_TRUE(WaitUntil([] { return QueuedCount() == 0; }));
  TRenderRegistry::MeshList.clear();
  ASSERT_TRUE(WaitUntil([] { return FinishedCount() == 1; }));
  EXPECT_EQ(destroyedOn, std::thread::id());

  TChunk::UpdateChunks();
  EXPECT_EQ(calls, 1);
  EXPECT_TRUE(chunk.expired());
  EXPECT_EQ(destroyedOn, std::this_thread::get_id());
}

TEST_F(ChunkUploadTest, TwoChunksAtOnePositionAreBothShown) {
  TChunk::InitThreads();
  TChunk::CreateChunk(-3, 1, nullptr);
  TChunk::CreateChunk(-3, 1, nullptr);
  ASSERT_TRUE(WaitUntil([] { return FinishedCount() == 2; }));
  TChunk::UpdateChunks();
  TChunk::UpdateChunks();
  ASSERT_EQ(TRenderRegistry::MeshList.size(), 2u);
  auto first = std::dynamic_pointer_cast<TChunk>(TRenderRegistry::MeshList[0]);
  auto second = std::dynamic_pointer_cast<TChunk>(TRenderRegistry::MeshList[1]);
  EXPECT_EQ(first->Hidden, 0);
  EXPECT_EQ(second->Hidden, 0);
  EXPECT_NE(first->VBO->BufferID, second->VBO->BufferID);
  EXPECT_EQ(BufferSize(*first), BufferSize(*second));
}

}  // namespace
