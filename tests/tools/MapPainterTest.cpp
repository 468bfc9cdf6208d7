#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

#include "blocks/BlockClass.h"
#include "tests/world/WorldFixtures.h"
#include "tools/MapPainter.h"
#include "world/Chunk.h"

namespace {

using TRgb = TMapPainter::TRgb;

// An atlas of 16 x 16 tiles of `tileSize` texels whose tile n (1..256) is the
// plain colour Colour(n).
TRgb Colour(int tile) {
  return {static_cast<std::uint8_t>(tile), static_cast<std::uint8_t>(255 - tile),
          static_cast<std::uint8_t>(tile * 7)};
}

TImage PlainTiles(int tileSize) {
  TImage atlas;
  atlas.Width = atlas.Height = 16 * tileSize;
  atlas.Pixels.resize(static_cast<std::size_t>(atlas.Width) * atlas.Height * 4);
  for (int y = 0; y < atlas.Height; ++y) {
    for (int x = 0; x < atlas.Width; ++x) {
      const TRgb c = Colour(y / tileSize * 16 + x / tileSize + 1);
      std::uint8_t* p = atlas.PixelAt(x, y);
      p[0] = c[0], p[1] = c[1], p[2] = c[2], p[3] = 255;
    }
  }
  return atlas;
}

// The top-left corner of tile n as the block classes compute it.
TRgb MeanOfTile(const TImage& atlas, int tile) {
  TBlockClass cls;
  cls.FaceTexture.fill(tile);
  cls.InitFields();
  return TMapPainter::TileMean(atlas, cls.FaceU[4], cls.FaceV[4]);
}

TEST(MapPainterTest, TileMeanIsTheColourOfTheTileTheViewerShows) {
  const TImage atlas = PlainTiles(4);
  struct TCase {
    int Tile;
    int Shown;  // the tile the viewer's repeat wrapping shows
  };
  const TCase cases[] = {{1, 1},
                         {16, 16},
                         {17, 17},
                         {256, 256},
                         // A face the script left out lies left of tile 1: tile 16.
                         {0, 16},
                         // Past the last row the atlas repeats from the top.
                         {257, 1},
                         {300, 44}};
  for (const TCase& c : cases) EXPECT_EQ(MeanOfTile(atlas, c.Tile), Colour(c.Shown)) << c.Tile;
}

TEST(MapPainterTest, TileMeanAveragesTheTexelsOfTheTileOnly) {
  // Tile 1 of a 32 x 32 atlas is 2 x 2 texels: one white, three black; its
  // neighbours are bright, and must not bleed in.
  TImage atlas = PlainTiles(2);
  for (int y = 0; y < 2; ++y) {
    for (int x = 0; x < 2; ++x) {
      std::uint8_t* p = atlas.PixelAt(x, y);
      p[0] = p[1] = p[2] = (x == 0 && y == 0) ? 255 : 0;
    }
  }
  EXPECT_EQ(MeanOfTile(atlas, 1), (TRgb{64, 64, 64}));

  // An atlas smaller than the tile grid: a tile lies within one texel.
  const TImage tiny = PlainTiles(1).Resampled(8, 8);
  const std::uint8_t* texel = tiny.PixelAt(0, 0);
  EXPECT_EQ(MeanOfTile(tiny, 2), (TRgb{texel[0], texel[1], texel[2]}));
}

TEST(MapPainterTest, ShadeIsOneOnLevelGroundAndFollowsTheLightFromTheTopLeft) {
  const int level[3][3] = {{60, 60, 60}, {60, 60, 60}, {60, 60, 60}};
  EXPECT_EQ(TMapPainter::Shade(level), 1.0f);
  // Ground rising towards +x faces the light (from -x, -z); falling, it faces away.
  const int risingX[3][3] = {{59, 60, 61}, {59, 60, 61}, {59, 60, 61}};
  const int fallingX[3][3] = {{61, 60, 59}, {61, 60, 59}, {61, 60, 59}};
  const int risingZ[3][3] = {{59, 59, 59}, {60, 60, 60}, {61, 61, 61}};
  const int fallingZ[3][3] = {{61, 61, 61}, {60, 60, 60}, {59, 59, 59}};
  EXPECT_GT(TMapPainter::Shade(risingX), 1.1f);
  EXPECT_LT(TMapPainter::Shade(fallingX), 0.9f);
  EXPECT_EQ(TMapPainter::Shade(risingX), TMapPainter::Shade(risingZ));
  EXPECT_EQ(TMapPainter::Shade(fallingX), TMapPainter::Shade(fallingZ));
  // A cliff stays within the range that keeps colours readable.
  const int cliff[3][3] = {{100, 60, 0}, {100, 60, 0}, {100, 60, 0}};
  EXPECT_GE(TMapPainter::Shade(cliff), 0.3f);
  const int wall[3][3] = {{0, 60, 100}, {0, 60, 100}, {0, 60, 100}};
  EXPECT_LE(TMapPainter::Shade(wall), 1.5f);
}

class MapPaintTest : public ::testing::Test {
 protected:
  void SetUp() override {
    RegisterBlock(1, 1);   // top face: tile 5
    RegisterBlock(2, 10);  // top face: tile 14
    Painter = std::make_unique<TMapPainter>(&Atlas);
    Chunk = TChunk::NewUnregistered(0, 0);
  }

  // Paints the chunk after computing its heights, as generation would.
  void Paint() {
    Chunk->ComputeHeights();
    Painter->Paint(*Chunk, Pixels.data(), 32 * 4);
  }
  const std::uint8_t* Pixel(int x, int z) const { return &Pixels[(z * 32 + x) * 4]; }
  static std::array<std::uint8_t, 4> Opaque(const TRgb& c) { return {c[0], c[1], c[2], 255}; }
  std::array<std::uint8_t, 4> At(int x, int z) const {
    const std::uint8_t* p = Pixel(x, z);
    return {p[0], p[1], p[2], p[3]};
  }

  TImage Atlas = PlainTiles(2);
  std::unique_ptr<TMapPainter> Painter;
  std::shared_ptr<TChunk> Chunk;
  std::array<std::uint8_t, TMapPainter::TILE_BYTES> Pixels{};
};

TEST_F(MapPaintTest, EachPixelShowsTheTopBlockOfItsColumn) {
  FillColumns(*Chunk, 40, 1);
  // Local (3, 10) has a block 2 on top; at (20, 5) a block 2 is buried under
  // the 1s and does not show.
  SetBlock(*Chunk, 3, 41, 10, 2);
  SetBlock(*Chunk, 20, 20, 5, 2);
  Paint();
  EXPECT_EQ(Painter->TopColour(1), Colour(5));
  EXPECT_EQ(Painter->TopColour(2), Colour(14));
  // A lone peak has no slope of its own.
  EXPECT_EQ(At(3, 10), Opaque(Colour(14)));
  EXPECT_EQ(At(20, 5), Opaque(Colour(5)));
  // Its neighbours lie on its slopes: lit on the side of the light, in shade
  // on the other; x runs along a row, z down the rows.
  EXPECT_GT(At(2, 10)[1], Colour(5)[1]);
  EXPECT_LT(At(4, 10)[1], Colour(5)[1]);
  EXPECT_LT(At(3, 11)[1], Colour(5)[1]);
  EXPECT_EQ(At(30, 1), Opaque(Colour(5)));
  EXPECT_EQ(At(1, 30), Opaque(Colour(5)));
}

TEST_F(MapPaintTest, AColumnWithoutBlocksIsTransparentButOneWithABlockAtTheBottomIsNot) {
  SetBlock(*Chunk, 7, 0, 8, 2);
  SetBlock(*Chunk, 9, 5, 8, 1);
  Paint();
  EXPECT_EQ(At(0, 0), (std::array<std::uint8_t, 4>{0, 0, 0, 0}));
  EXPECT_EQ(At(7, 8)[3], 255);
  EXPECT_NE(At(7, 8)[1], 0);
  EXPECT_EQ(At(9, 8)[3], 255);
}

TEST_F(MapPaintTest, SlopesAtTheChunkEdgeComeFromTheNeighboursRing) {
  FillColumns(*Chunk, 40, 1);
  // The ring columns west of x = 0 (array index 1) stand higher: the edge
  // column lies at the foot of a slope that faces away from the light.
  for (int k = 0; k < VOXEL_GRID_DEPTH; ++k) {
    for (int y = 41; y <= 50; ++y) Chunk->VoxelData[1][y][k] = 1;
  }
  Paint();
  EXPECT_LT(At(0, 16)[1], Colour(5)[1]);
  EXPECT_EQ(At(2, 16), Opaque(Colour(5)));
}

TEST(MapPainterWithoutAtlasTest, FacesAreWhiteAsTheViewerDrawsUntexturedFaces) {
  RegisterBlock(1, 1);
  const TMapPainter painter(nullptr);
  EXPECT_EQ(painter.TopColour(1), (TRgb{255, 255, 255}));
  // An ID without a class is drawn as the all-zero class, whose tile is still shown.
  EXPECT_EQ(painter.TopColour(99), (TRgb{255, 255, 255}));
}

}  // namespace
