#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <ostream>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "app/CameraControl.h"
#include "bench/reference/ReferenceChunk.h"
#include "blocks/BlockClass.h"
#include "blocks/LuaHandler.h"
#include "tests/support/TempDir.h"
#include "tests/support/WorkingDirectory.h"
#include "tests/world/WorldFixtures.h"
#include "world/ChunkDigest.h"
#include "world/TerrainGenerator.h"
#include "world/TerrainShape.h"

// TChunk's own build against the straightforward one, byte for byte: the world
// must not change, wherever it is generated.

// How a chunk parameter shows in test output: (x, z). Beside TChunkPosition's
// namespace, where GoogleTest looks for it.
static void PrintTo(const TChunkPosition& position, std::ostream* out) {
  *out << "(" << position.X << ", " << position.Z << ")";
}

namespace {

// The shipped block classes, as the viewer registers them (once per process).
void LoadShippedBlocks() {
  if (TBlockClass::BlockClasses[1]) return;
  const TTempDir dir;
  dir.CopyData("Blocks.lua");
  {
    const TWorkingDirectory inDir(dir.Path());
    TLuaHandler::Init();
  }
  TBlockClass::PrecalcAOCoordinates();
}

// Where two arrays of the same shape first differ, as "[a][b][c]" indices.
template <class TArray>
std::string FirstDifference(const TArray& fast, const TArray& reference) {
  const auto* a = reinterpret_cast<const std::uint8_t*>(&fast);
  const auto* b = reinterpret_cast<const std::uint8_t*>(&reference);
  for (std::size_t n = 0; n < sizeof(TArray); ++n) {
    if (a[n] != b[n]) {
      return "byte " + std::to_string(n) + ": " + std::to_string(a[n]) + " instead of " +
             std::to_string(b[n]);
    }
  }
  return "";
}

std::string FirstVertexDifference(const TChunk& fast, const TChunk& reference) {
  if (fast.VertexCount != reference.VertexCount ||
      fast.VertexData.size() != reference.VertexData.size()) {
    return "vertex count " + std::to_string(fast.VertexCount) + " instead of " +
           std::to_string(reference.VertexCount);
  }
  for (std::size_t n = 0; n < fast.VertexData.size(); ++n) {
    if (fast.VertexData[n] != reference.VertexData[n]) {
      return "byte " + std::to_string(n % 52) + " of vertex " + std::to_string(n / 52);
    }
  }
  return "";
}

void ExpectSameData(const TChunk& fast, const TChunk& reference) {
  EXPECT_EQ(FirstDifference(fast.VoxelData, reference.VoxelData), "") << "VoxelData";
  EXPECT_EQ(FirstDifference(fast.Height, reference.Height), "") << "Height";
  EXPECT_EQ(FirstDifference(fast.Light, reference.Light), "") << "Light";
}

// --- Generated chunks -------------------------------------------------------

class GeneratedChunkTest : public ::testing::TestWithParam<TChunkPosition> {
 protected:
  void SetUp() override { EnsureNoiseTables(); }

  // A chunk built as a worker builds it, and one built the straightforward way.
  void Build(std::shared_ptr<TChunk>& fast, std::shared_ptr<TChunk>& reference) const {
    fast = MakeEmptyChunk();
    reference = MakeEmptyChunk();
    for (TChunk* chunk : {fast.get(), reference.get()}) {
      chunk->ChunkX = GetParam().X;
      chunk->ChunkZ = GetParam().Z;
    }
    fast->GenerateData();
    fast->BuildVertexData();
    ReferenceGenerateData(*reference);
    ReferenceBuildVertexData(*reference);
  }
};

TEST_P(GeneratedChunkTest, MatchesTheReferenceWithTheShippedBlocks) {
  LoadShippedBlocks();
  std::shared_ptr<TChunk> fast, reference;
  Build(fast, reference);
  ExpectSameData(*fast, *reference);
  EXPECT_EQ(FirstVertexDifference(*fast, *reference), "");
  EXPECT_GT(reference->VertexCount, 0);
}

std::string PositionName(const ::testing::TestParamInfo<TChunkPosition>& info) {
  std::string name;
  for (const auto& [axis, v] : {std::pair{'x', info.param.X}, std::pair{'z', info.param.Z}}) {
    if (!name.empty()) name += '_';
    name += axis;
    if (v < 0) name += 'm';
    name += std::to_string(v < 0 ? -v : v);
  }
  return name;
}

INSTANTIATE_TEST_SUITE_P(InitialSquare, GeneratedChunkTest,
                         ::testing::ValuesIn(InitialChunks(ViewRadius)), PositionName);

// Negative and far chunks: generator coordinates that are mirrored (below
// -1024), that cross 0 within a chunk (-1025), that are 0 (-1024), whose
// lattice indices wrap around the tables, and whose coordinates no longer fit
// a float exactly (beyond 2^24 / 32 - 1024 chunks).
INSTANTIATE_TEST_SUITE_P(FarAndNegative, GeneratedChunkTest,
                         ::testing::Values(TChunkPosition{1000, -1000}, TChunkPosition{-1023, 5},
                                           TChunkPosition{-1024, 0}, TChunkPosition{-1025, -1025},
                                           TChunkPosition{-1030, 1}, TChunkPosition{-3000, -2048},
                                           TChunkPosition{2000, 3000}, TChunkPosition{130048, -7},
                                           TChunkPosition{-40, 77},
                                           TChunkPosition{1000000, -1000000},
                                           TChunkPosition{-999999, 524287}),
                         PositionName);

TEST(TerrainGeneratorTest, TallyCountsEveryCellOnce) {
  EnsureNoiseTables();
  TTerrainGenerator generator;
  TTerrainGenerator::TTally tally;
  TVoxelGrid voxels{};
  generator.Generate(0, 0, voxels, &tally);
  EXPECT_EQ(tally.Cells(), 36 * 128 * 36);
  EXPECT_GT(tally.Open, 0);
  EXPECT_GT(tally.Ground, 0);
}

TEST(TerrainGeneratorTest, SameBlocksWithAndWithoutAvx2) {
  if (!TSliceNoise::HasWideLanes()) GTEST_SKIP() << "this CPU has no AVX2";
  EnsureNoiseTables();
  TTerrainGenerator narrow(false);
  TTerrainGenerator wide(true);
  for (const auto& [x, z] :
       {TChunkPosition{0, 0}, TChunkPosition{-1025, 3}, TChunkPosition{1000, -1000}}) {
    TVoxelGrid a{}, b{};
    narrow.Generate(x, z, a);
    wide.Generate(x, z, b);
    EXPECT_EQ(FirstDifference(a, b), "") << x << " " << z;
  }
}

// --- The world as it has always been ---------------------------------------

TEST(ChunkDigestTest, Fnv1aGivesTheStandardHashes) {
  const std::pair<std::string, std::uint64_t> cases[] = {
      {"", 0xcbf29ce484222325ull},
      {"a", 0xaf63dc4c8601ec8cull},
      {"foobar", 0x85944171f73967e8ull},
  };
  for (const auto& [text, hash] : cases) EXPECT_EQ(Fnv1a(text.data(), text.size()), hash) << text;
}

// The fast build above is checked against the reference build of the same
// CPU; these hashes hold both to the world of x86. Digest is the line
// `voxeltool digest X Z` prints, as DigestCommandTest expects it; Vertices is
// the Fnv1a of the vertex records, meshed with block classes of its own so that
// editing Blocks.lua does not change it. Both are computed in this process, not
// by the tool, so that a build for another CPU checks them under an emulator
// (scripts/cross-arm64.sh).
struct TKnownChunk {
  int X, Z;
  const char* Digest;
  std::uint64_t Vertices;
};

TEST(KnownWorldTest, ChunksHashAsOnX86) {
  const TKnownChunk known[] = {
      {0, 0, "voxel=a1731211b8674a47 height=6107b46ed6daf4b6 light=b05effae9f8b18c3 faces=2555",
       0xc216149317908d41ull},
      {4, -5, "voxel=63581a09c894bfd3 height=a39e44b24121159f light=af96f45b2daa4a4e faces=3015",
       0x2f9f2bdaac313429ull},
      {-5, 4, "voxel=3d6ebd638cd5d1ce height=57bab547bf7bb1f5 light=8e5e72e0ce98c504 faces=8996",
       0x2a45b0bdc15d3cd9ull},
      {1, 0, "voxel=98daf509dbc2ec1f height=ad5e0afa0caeb413 light=076df79f1298c730 faces=3933",
       0x28fa0445e4fc8c91ull},
      {-1, -1, "voxel=bca66ce6118aa77d height=63fe122f8b49c6cf light=6978f6489ea09790 faces=3922",
       0x040c60d0abab7d6dull},
      {37, 2, "voxel=f558f8652ac19118 height=be534e523c88b6c6 light=3afbea657f173434 faces=2671",
       0x7847b605e14da021ull},
  };
  EnsureNoiseTables();
  const auto registered = TBlockClass::BlockClasses;
  TBlockClass::BlockClasses = {};
  // The fill is the one block of the world that is not solid.
  for (int id : TerrainShape::WORLD_BLOCKS) RegisterBlock(id, id, id != TerrainShape::FILL_BLOCK);
  for (const TKnownChunk& c : known) {
    const auto chunk = TChunk::NewUnregistered(c.X, c.Z);
    chunk->GenerateData();
    chunk->BuildVertexData();
    EXPECT_EQ(ChunkDigest(*chunk), c.Digest) << "chunk " << c.X << " " << c.Z;
    EXPECT_EQ(Fnv1a(chunk->VertexData.data(), chunk->VertexData.size()), c.Vertices)
        << "chunk " << c.X << " " << c.Z;
  }
  TBlockClass::BlockClasses = registered;
}

// --- Hand-made chunks -------------------------------------------------------

// Random blocks, a share `fill` of the cells: registered solid and
// transparent classes, and IDs without a class; random light everywhere, so
// that 70 + light wraps too.
void FillRandomly(TChunk& chunk, double fill, unsigned seed) {
  // The world's blocks, and two IDs without a class.
  std::vector<std::uint8_t> ids(TerrainShape::WORLD_BLOCKS.begin(),
                                TerrainShape::WORLD_BLOCKS.end());
  ids.insert(ids.end(), {5, 200});
  std::mt19937 random(seed);
  std::bernoulli_distribution solid(fill);
  std::uniform_int_distribution<int> pick(0, static_cast<int>(ids.size()) - 1);
  std::uniform_int_distribution<int> byte(0, 255);
  for (auto& plane : chunk.VoxelData) {
    for (auto& row : plane) {
      for (std::uint8_t& cell : row) cell = solid(random) ? ids[pick(random)] : 0;
    }
  }
  for (auto& plane : chunk.Light) {
    for (auto& row : plane) {
      for (std::uint8_t& cell : row) cell = static_cast<std::uint8_t>(byte(random));
    }
  }
}

TEST(ChunkMeshingMatchesReferenceTest, RandomBlocksAtEveryDensity) {
  LoadShippedBlocks();
  for (double fill : {0.0, 0.02, 0.3, 0.5, 0.8, 0.98, 1.0}) {
    auto fast = MakeEmptyChunk();
    auto reference = MakeEmptyChunk();
    FillRandomly(*fast, fill, 17);
    FillRandomly(*reference, fill, 17);
    fast->BuildVertexData();
    ReferenceBuildVertexData(*reference);
    EXPECT_EQ(FirstVertexDifference(*fast, *reference), "") << "fill " << fill;
  }
}

TEST(ChunkMeshingMatchesReferenceTest, WithoutAnyBlockClass) {
  const auto registered = TBlockClass::BlockClasses;
  TBlockClass::BlockClasses = {};
  auto fast = MakeEmptyChunk();
  auto reference = MakeEmptyChunk();
  FillRandomly(*fast, 0.4, 5);
  FillRandomly(*reference, 0.4, 5);
  fast->BuildVertexData();
  ReferenceBuildVertexData(*reference);
  EXPECT_EQ(FirstVertexDifference(*fast, *reference), "");
  TBlockClass::BlockClasses = registered;
}

// Heights, top soil and light of random columns: heights anywhere from 0 to
// 127 (a lone block at y = 0 too), surface blocks under open cells at every
// level, light from very uneven neighbours.
TEST(ChunkDataMatchesReferenceTest, RandomColumns) {
  std::mt19937 random(99);
  std::uniform_int_distribution<int> height(-1, 127);
  std::bernoulli_distribution hole(0.2);
  std::bernoulli_distribution surface(0.3);
  for (int round = 0; round < 4; ++round) {
    auto fast = MakeEmptyChunk();
    auto reference = MakeEmptyChunk();
    for (int i = 0; i < VOXEL_GRID_WIDTH; ++i) {
      for (int k = 0; k < VOXEL_GRID_DEPTH; ++k) {
        const int top = height(random);
        for (int y = 0; y <= top; ++y) {
          const std::uint8_t id = hole(random) ? 0 : surface(random) ? 3 : 1;
          fast->VoxelData[i][y][k] = reference->VoxelData[i][y][k] = id;
        }
        if (round == 3 && top < 0) fast->VoxelData[i][0][k] = reference->VoxelData[i][0][k] = 3;
      }
    }
    fast->ComputeHeights();
    fast->PlaceTopSoil();
    fast->ComputeLight();
    ReferenceFinishData(*reference);
    ExpectSameData(*fast, *reference);
  }
}

}  // namespace
