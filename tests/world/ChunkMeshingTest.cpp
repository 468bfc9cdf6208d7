#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <vector>

#include "blocks/BlockClass.h"
#include "tests/world/WorldFixtures.h"

namespace {

using TCell = std::array<int, 3>;
using TDir = std::array<int, 3>;

constexpr float kStep = 0.0625f;

// Block 1 is solid and shows tile f + 1 on face f, so FaceU[f] = f / 16.
class ChunkMeshingTest : public ::testing::Test {
 protected:
  void SetUp() override {
    RegisterBlock(1, 1);
    Chunk = MakeEmptyChunk();
  }

  std::vector<TFace> Mesh() {
    ComputeHeightsAndLight(*Chunk);
    Chunk->BuildVertexData();
    EXPECT_EQ(Chunk->VertexData.size(), 52u * static_cast<unsigned>(Chunk->VertexCount));
    return DecodeFaces(*Chunk);
  }

  // The faces seen from `open`; only those looking along `direction` unless it is zero.
  static std::vector<TFace> SeenFrom(const std::vector<TFace>& faces, const TCell& open,
                                     const TDir& direction = {0, 0, 0}) {
    std::vector<TFace> seen;
    std::copy_if(faces.begin(), faces.end(), std::back_inserter(seen), [&](const TFace& face) {
      return face.OpenCell() == open &&
             (direction == TDir{0, 0, 0} || face.Direction() == direction);
    });
    return seen;
  }

  std::shared_ptr<TChunk> Chunk;
};

TEST_F(ChunkMeshingTest, SingleBlockGivesSixFacesInLoopOrder) {
  SetBlock(*Chunk, 5, 64, 5, 1);
  const std::vector<TFace> faces = Mesh();
  ASSERT_EQ(Chunk->VertexCount, 24);

  struct TExpected {
    TCell Open;
    TDir Direction;
    int FaceIndex;
  };
  const TExpected expected[6] = {
      {{5, 64, 4}, {0, 0, 1}, 3},   // -z side
      {{5, 63, 5}, {0, 1, 0}, 5},   // bottom
      {{4, 64, 5}, {1, 0, 0}, 1},   // -x side
      {{6, 64, 5}, {-1, 0, 0}, 0},  // +x side
      {{5, 65, 5}, {0, -1, 0}, 4},  // top
      {{5, 64, 6}, {0, 0, -1}, 2},  // +z side
  };
  for (int n = 0; n < 6; ++n) {
    const TFace& face = faces[n];
    const TExpected& e = expected[n];
    EXPECT_EQ(face.OpenCell(), e.Open) << "face " << n;
    EXPECT_EQ(face.Direction(), e.Direction) << "face " << n;
    EXPECT_EQ(face.Tile[0][0], e.FaceIndex * kStep) << "face " << n;

    // The quad lies 0.002 inside the block, 1.004 wide, and runs clockwise as
    // seen from the open cell: its winding normal points along d.
    std::array<float, 3> edge1{}, edge2{};
    for (int axis = 0; axis < 3; ++axis) {
      for (int c = 0; c < 4; ++c) {
        const float offset = face.Position[c][axis] - static_cast<float>(e.Open[axis]);
        if (e.Direction[axis] != 0) {
          EXPECT_NEAR(offset, 0.502f * e.Direction[axis], 1e-5f);
        } else {
          EXPECT_NEAR(std::abs(offset), 0.502f, 1e-5f);
        }
      }
      edge1[axis] = face.Position[1][axis] - face.Position[0][axis];
      edge2[axis] = face.Position[2][axis] - face.Position[1][axis];
    }
    const std::array<float, 3> winding = {edge1[1] * edge2[2] - edge1[2] * edge2[1],
                                          edge1[2] * edge2[0] - edge1[0] * edge2[2],
                                          edge1[0] * edge2[1] - edge1[1] * edge2[0]};
    float along = 0.0f;
    for (int axis = 0; axis < 3; ++axis) along += winding[axis] * e.Direction[axis];
    EXPECT_GT(along, 0.0f) << "face " << n;
  }
}

TEST_F(ChunkMeshingTest, TopFaceUnderOpenSky) {
  SetBlock(*Chunk, 5, 64, 5, 1);
  const TFace top = Mesh()[4];
  const std::array<std::array<float, 3>, 4> corners = {{{5.502f, 64.498f, 5.502f},
                                                        {4.498f, 64.498f, 5.502f},
                                                        {4.498f, 64.498f, 4.498f},
                                                        {5.502f, 64.498f, 4.498f}}};
  const float u0 = TBlockClass::BlockClasses[1]->FaceU[4];
  const float v0 = TBlockClass::BlockClasses[1]->FaceV[4];
  const std::array<std::array<float, 2>, 4> tile = {
      {{u0, v0}, {u0 + kStep, v0}, {u0 + kStep, v0 + kStep}, {u0, v0 + kStep}}};
  for (int c = 0; c < 4; ++c) {
    for (int axis = 0; axis < 3; ++axis) EXPECT_FLOAT_EQ(top.Position[c][axis], corners[c][axis]);
    EXPECT_EQ(top.Normal[c], (std::array<float, 3>{0.0f, -1.0f, 0.0f}));
    EXPECT_EQ(top.Colour[c], (std::array<std::uint8_t, 4>{255, 255, 255, 255}));
    EXPECT_EQ(top.Tile[c], (std::array<float, 3>{tile[c][0], tile[c][1], 0.0f})) << c;
    // Nothing around the open cell: AO tile 0, in the atlas' top-left corner.
    EXPECT_EQ(top.AO[c], (std::array<float, 3>{tile[c][0] - u0, tile[c][1] - v0, 0.0f})) << c;
  }
}

TEST_F(ChunkMeshingTest, BottomAndTopLayersAreNeverOpenCells) {
  struct TCase {
    int Y;
    std::vector<TDir> Directions;
  };
  const TCase cases[] = {
      {0, {{0, -1, 0}}},   // only its top, seen from y = 1
      {127, {{0, 1, 0}}},  // only its bottom, seen from y = 126
      {1, {{1, 0, 0}, {-1, 0, 0}, {0, -1, 0}, {0, 0, 1}, {0, 0, -1}}},  // all but its bottom
  };
  for (const TCase& c : cases) {
    Chunk = MakeEmptyChunk();
    SetBlock(*Chunk, 9, c.Y, 9, 1);
    std::vector<TDir> directions;
    for (const TFace& face : Mesh()) directions.push_back(face.Direction());
    std::sort(directions.begin(), directions.end());
    std::vector<TDir> expected = c.Directions;
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(directions, expected) << "block at y = " << c.Y;
  }
}

TEST_F(ChunkMeshingTest, ChunkWithoutFacesHasNoVertices) {
  for (int fill : {-1, 127}) {  // all empty; all solid
    Chunk = MakeEmptyChunk();
    if (fill >= 0) FillColumns(*Chunk, fill);
    Mesh();
    EXPECT_EQ(Chunk->VertexCount, 0);
    EXPECT_TRUE(Chunk->VertexData.empty());
  }
}

// Across each side of the chunk: this chunk's border block does not get the
// face towards the empty ring cell (the neighbour draws it), and the
// neighbour's block in the ring does get its face towards this chunk's empty
// border cell.
TEST_F(ChunkMeshingTest, FacesAcrossTheBorderBelongToTheChunkOfTheOpenCell) {
  struct TSide {
    const char* Name;
    TCell OwnBlock;   // a border block of this chunk
    TCell RingBlock;  // a block of the neighbour, in the ring
    TDir Outward;
  };
  const TSide sides[] = {
      {"+x", {31, 64, 10}, {32, 64, 20}, {1, 0, 0}},
      {"-x", {0, 64, 10}, {-1, 64, 20}, {-1, 0, 0}},
      {"+z", {10, 64, 31}, {20, 64, 32}, {0, 0, 1}},
      {"-z", {10, 64, 0}, {20, 64, -1}, {0, 0, -1}},
  };
  for (const TSide& side : sides) {
    Chunk = MakeEmptyChunk();
    SetBlock(*Chunk, side.OwnBlock[0], side.OwnBlock[1], side.OwnBlock[2], 1);
    SetBlock(*Chunk, side.RingBlock[0], side.RingBlock[1], side.RingBlock[2], 1);
    const std::vector<TFace> faces = Mesh();

    TCell ringCell = side.OwnBlock, borderCell = side.RingBlock;
    for (int axis = 0; axis < 3; ++axis) {
      ringCell[axis] += side.Outward[axis];
      borderCell[axis] -= side.Outward[axis];
    }
    // The own block: 5 of its 6 faces; the ring block: only the one facing in.
    EXPECT_EQ(faces.size(), 6u) << side.Name;
    EXPECT_TRUE(SeenFrom(faces, ringCell).empty()) << side.Name;
    const std::vector<TFace> inward = SeenFrom(faces, borderCell);
    ASSERT_EQ(inward.size(), 1u) << side.Name;
    EXPECT_EQ(inward[0].Direction(), side.Outward) << side.Name;
  }
}

TEST_F(ChunkMeshingTest, HollowUnderCoverIsGreyAndListsItsFacesInDirectionOrder) {
  // Ground up to 100 with a hollow cell at (10, 50, 10); three columns of its
  // 5 x 5 neighbourhood are cut down to 20.
  FillColumns(*Chunk, 100);
  SetBlock(*Chunk, 10, 50, 10, 0);
  for (const auto& [x, z] : {std::pair{8, 8}, std::pair{12, 12}, std::pair{8, 12}}) {
    for (int y = 21; y <= 100; ++y) SetBlock(*Chunk, x, y, z, 0);
  }
  const std::vector<TFace> faces = SeenFrom(Mesh(), {10, 50, 10});
  ASSERT_EQ(faces.size(), 6u);
  // One open cell's faces come in a fixed direction order.
  const TDir order[6] = {{1, 0, 0}, {-1, 0, 0}, {0, 1, 0}, {0, -1, 0}, {0, 0, 1}, {0, 0, -1}};
  for (int n = 0; n < 6; ++n) EXPECT_EQ(faces[n].Direction(), order[n]) << n;
  for (const TFace& face : faces) {
    for (const auto& colour : face.Colour) {
      EXPECT_EQ(colour, (std::array<std::uint8_t, 4>{85, 85, 85, 255}));
    }
  }
}

TEST_F(ChunkMeshingTest, BlocksTouchingEachOtherShareNoFace) {
  // A transparent block beside a solid one: no face between them, and the
  // transparent one gets its other faces like any block.
  RegisterBlock(9, 20, false);
  SetBlock(*Chunk, 5, 64, 5, 1);
  SetBlock(*Chunk, 6, 64, 5, 9);
  const std::vector<TFace> faces = Mesh();
  EXPECT_EQ(faces.size(), 10u);
  int transparentFaces = 0;
  for (const TFace& face : faces) transparentFaces += face.Tile[0][1] == kStep;  // tiles 20..25
  EXPECT_EQ(transparentFaces, 5);
}

TEST_F(ChunkMeshingTest, BlockWithoutClassDrawsAsTheEmptyClass) {
  // ID 200 has no class: its faces show atlas tile (0, 0), and as a
  // neighbour it casts no ambient occlusion.
  SetBlock(*Chunk, 5, 64, 5, 200);
  SetBlock(*Chunk, 9, 64, 9, 1);
  SetBlock(*Chunk, 10, 65, 9, 200);  // beside the open cell above block 1
  const std::vector<TFace> faces = Mesh();
  const std::vector<TFace> ofMissing = SeenFrom(faces, {5, 65, 5});
  ASSERT_EQ(ofMissing.size(), 1u);
  EXPECT_EQ(ofMissing[0].Tile[0], (std::array<float, 3>{0.0f, 0.0f, 0.0f}));
  EXPECT_EQ(ofMissing[0].Tile[2], (std::array<float, 3>{kStep, kStep, 0.0f}));
  const std::vector<TFace> besideMissing = SeenFrom(faces, {9, 65, 9}, {0, -1, 0});
  ASSERT_EQ(besideMissing.size(), 1u);
  EXPECT_EQ(besideMissing[0].AOTile(), 0);
}

// IsBoundaryBlock holds for local x, z in -1..32 and y in 1..126, where all
// six neighbours lie in the arrays: ground up to y = 126 everywhere (the
// rings too), with one cell changed beside the block asked about.
TEST(ChunkBoundaryBlockTest, BlockWithAnEmptyNeighbourIsABoundaryBlock) {
  struct TCase {
    const char* Name;
    TCell Block;    // local coordinates of the cell asked about
    TCell Changed;  // local coordinates of a cell set to ChangedTo
    int ChangedTo;
    int Expected;
  };
  const TCase cases[] = {
      {"buried", {10, 60, 10}, {10, 60, 10}, 1, 0},
      {"empty cell", {10, 60, 10}, {10, 60, 10}, 0, 0},
      {"empty cell in open space", {10, 126, 10}, {10, 126, 10}, 0, 0},
      {"open +x", {10, 60, 10}, {11, 60, 10}, 0, 1},
      {"open -x", {10, 60, 10}, {9, 60, 10}, 0, 1},
      {"open +y", {10, 60, 10}, {10, 61, 10}, 0, 1},
      {"open -y", {10, 60, 10}, {10, 59, 10}, 0, 1},
      {"open +z", {10, 60, 10}, {10, 60, 11}, 0, 1},
      {"open -z", {10, 60, 10}, {10, 60, 9}, 0, 1},
      {"beside a diagonal hole only", {10, 60, 10}, {11, 61, 10}, 0, 0},
      {"beside a non-solid block", {10, 60, 10}, {11, 60, 10}, 8, 0},
      {"top layer under the open top", {10, 126, 10}, {10, 126, 10}, 1, 1},
      {"lowest layer over an empty bottom", {10, 1, 10}, {10, 0, 10}, 0, 1},
      {"ring x = -1, buried", {-1, 60, 10}, {-1, 60, 10}, 1, 0},
      {"ring x = -1, outer ring open", {-1, 60, 10}, {-2, 60, 10}, 0, 1},
      {"ring x = 32, outer ring open", {32, 60, 10}, {33, 60, 10}, 0, 1},
      {"ring z = -1, outer ring open", {10, 60, -1}, {10, 60, -2}, 0, 1},
      {"ring z = 32, outer ring open", {10, 60, 32}, {10, 60, 33}, 0, 1},
      {"ring corner, buried", {32, 60, -1}, {32, 60, -1}, 1, 0},
      {"own edge, ring open", {0, 60, 31}, {0, 60, 32}, 0, 1},
  };
  for (const TCase& c : cases) {
    auto chunk = MakeEmptyChunk();
    FillColumns(*chunk, 126);
    SetBlock(*chunk, c.Changed[0], c.Changed[1], c.Changed[2],
             static_cast<std::uint8_t>(c.ChangedTo));
    EXPECT_EQ(chunk->IsBoundaryBlock(c.Block[0], c.Block[1], c.Block[2]), c.Expected) << c.Name;
  }
}

// Where the ambient-occlusion tile lands on the face. AO.png paints tile m in
// reading order: bits 0, 1, 2 along the tile's top row (V0 side) left to
// right, 3 and 4 the left and right of the middle row, 5, 6, 7 the bottom row.
// So for every face, a single solid cell beside the open cell must select the
// tile whose dark part is the region of the tile lying nearest that cell.
TEST_F(ChunkMeshingTest, OcclusionTileIsDarkOnTheSideOfTheSolidNeighbour) {
  const TDir directions[6] = {{0, -1, 0}, {0, 1, 0}, {0, 0, -1}, {0, 0, 1}, {-1, 0, 0}, {1, 0, 0}};
  // Bit of the tile region at row r, column c (0..2 each) in reading order.
  const int regionBit[3][3] = {{0, 1, 2}, {3, -1, 4}, {5, 6, 7}};
  for (const TDir& d : directions) {
    for (int a = -1; a <= 1; ++a) {
      for (int b = -1; b <= 1; ++b) {
        if (a == 0 && b == 0) continue;
        // The offset of the neighbour within the plane across d.
        TDir offset{};
        if (d[0] != 0) offset = {0, a, b};
        if (d[1] != 0) offset = {a, 0, b};
        if (d[2] != 0) offset = {a, b, 0};
        const TCell open = {10, 64, 10};
        TCell neighbour = open;
        for (int axis = 0; axis < 3; ++axis) neighbour[axis] += offset[axis];

        Chunk = MakeEmptyChunk();
        SetBlock(*Chunk, open[0] + d[0], open[1] + d[1], open[2] + d[2], 1);
        SetBlock(*Chunk, neighbour[0], neighbour[1], neighbour[2], 1);
        const std::vector<TFace> faces = SeenFrom(Mesh(), open, d);
        ASSERT_EQ(faces.size(), 1u);
        const TFace& face = faces[0];

        // The tile's frame on the face, from the written AO coordinates: its
        // origin is the corner at the smallest (A, B), its axes run to the
        // corners at the largest A and at the largest B.
        int origin = 0, alongA = 0, alongB = 0;
        for (int c = 0; c < 4; ++c) {
          if (face.AO[c][0] <= face.AO[origin][0] && face.AO[c][1] <= face.AO[origin][1])
            origin = c;
        }
        for (int c = 0; c < 4; ++c) {
          if (face.AO[c][0] > face.AO[origin][0] && face.AO[c][1] == face.AO[origin][1]) alongA = c;
          if (face.AO[c][1] > face.AO[origin][1] && face.AO[c][0] == face.AO[origin][0]) alongB = c;
        }
        // Tile coordinates (0..1 across the tile) of the face point nearest
        // the neighbour's centre.
        float s = 0.0f, t = 0.0f, lengthA = 0.0f, lengthB = 0.0f;
        for (int axis = 0; axis < 3; ++axis) {
          const float toNeighbour = neighbour[axis] - face.Position[origin][axis];
          const float edgeA = face.Position[alongA][axis] - face.Position[origin][axis];
          const float edgeB = face.Position[alongB][axis] - face.Position[origin][axis];
          s += toNeighbour * edgeA;
          t += toNeighbour * edgeB;
          lengthA += edgeA * edgeA;
          lengthB += edgeB * edgeB;
        }
        s = std::clamp(s / lengthA, 0.0f, 1.0f);
        t = std::clamp(t / lengthB, 0.0f, 1.0f);
        const int column = s < 1.0f / 3.0f ? 0 : s > 2.0f / 3.0f ? 2 : 1;
        const int row = t < 1.0f / 3.0f ? 0 : t > 2.0f / 3.0f ? 2 : 1;

        EXPECT_EQ(face.AOTile(), 1 << regionBit[row][column])
            << "direction (" << d[0] << ", " << d[1] << ", " << d[2] << "), neighbour offset ("
            << offset[0] << ", " << offset[1] << ", " << offset[2] << ")";
      }
    }
  }
}

}  // namespace
