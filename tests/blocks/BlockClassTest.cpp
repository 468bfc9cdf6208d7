#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <memory>

#include "blocks/BlockClass.h"

namespace {

struct TTileCase {
  std::int32_t Tile;
  float U, V;
};

// Tile n sits in column (n - 1) % 16, row (n - 1) / 16 with C's rounding
// toward zero, so a face the script left out (0) lands left of tile 1.
const TTileCase kTileCases[] = {
    {1, 0.0f, 0.0f},
    {16, 15.0f / 16, 0.0f},
    {17, 0.0f, 1.0f / 16},
    {256, 15.0f / 16, 15.0f / 16},
    {0, -1.0f / 16, 0.0f},
    {-16, -1.0f / 16, -1.0f / 16},
    // The lowest tile number a script can give must not overflow.
    {std::numeric_limits<std::int32_t>::min(), -1.0f / 16, -8388608.0f},
};

TEST(BlockClassTest, FaceTileNumbersGiveTheTopLeftOfTheirAtlasTile) {
  for (const TTileCase& c : kTileCases) {
    TBlockClass block;
    block.FaceTexture.fill(1);
    block.FaceTexture[3] = c.Tile;
    block.InitFields();
    EXPECT_EQ(block.FaceU[3], c.U) << "tile " << c.Tile;
    EXPECT_EQ(block.FaceV[3], c.V) << "tile " << c.Tile;
    EXPECT_EQ(block.FaceU[0], 0.0f);
  }
}

TEST(BlockClassTest, FacesAreConvertedEachInItsOwnSlot) {
  TBlockClass block;
  block.FaceTexture = {2, 3, 18, 33, 255, 16};
  block.InitFields();
  const std::array<float, 6> u = {1.0f / 16, 2.0f / 16, 1.0f / 16, 0.0f, 14.0f / 16, 15.0f / 16};
  const std::array<float, 6> v = {0.0f, 0.0f, 1.0f / 16, 2.0f / 16, 15.0f / 16, 0.0f};
  EXPECT_EQ(block.FaceU, u);
  EXPECT_EQ(block.FaceV, v);
}

struct TSolidCase {
  std::int32_t Transparent, Masked, TransparentIndex;
  std::int32_t ExpectedSolid, ExpectedIndex;
};

TEST(BlockClassTest, TransparentAndMaskedBlocksAreNotSolidAndMaskedOnesGetIndexMinusOne) {
  const TSolidCase cases[] = {
      {0, 0, 0, 1, 0},   {1, 0, -3, 0, -3}, {0, 1, -3, 0, -1},
      {1, 1, -3, 0, -1}, {0, 1, 0, 0, -1},  {0, 0, -3, 1, -3},
  };
  for (const TSolidCase& c : cases) {
    TBlockClass block;
    block.Transparent = c.Transparent;
    block.Masked = c.Masked;
    block.TransparentIndex = c.TransparentIndex;
    block.InitFields();
    EXPECT_EQ(block.IsSolidBlock, c.ExpectedSolid)
        << "transparent " << c.Transparent << " masked " << c.Masked;
    EXPECT_EQ(block.TransparentIndex, c.ExpectedIndex)
        << "transparent " << c.Transparent << " masked " << c.Masked;
  }
}

TEST(BlockClassTest, InverseLightRadius) {
  TBlockClass none;
  none.InitFields();
  EXPECT_TRUE(std::isinf(none.InvLightRadius));
  EXPECT_GT(none.InvLightRadius, 0.0f);

  TBlockClass lamp;
  lamp.LightRadius = 8.0f;
  lamp.InitFields();
  EXPECT_EQ(lamp.InvLightRadius, 0.125f);
}

TEST(BlockClassTest, EmptyAndOutsideSlotsLookUpAsAnAllZeroClass) {
  TBlockClass::BlockClasses.fill(nullptr);
  auto stone = std::make_shared<TBlockClass>();
  stone->ID = 1;
  stone->InitFields();
  TBlockClass::BlockClasses[1] = stone;

  EXPECT_EQ(&TBlockClass::Lookup(1), stone.get());
  for (int id : {0, 2, 1023, -1, 1024}) {
    const TBlockClass& empty = TBlockClass::Lookup(id);
    EXPECT_EQ(empty.IsSolidBlock, 0) << id;
    EXPECT_EQ(empty.ID, 0) << id;
    EXPECT_EQ(empty.InvLightRadius, 0.0f) << id;
    EXPECT_EQ(empty.FaceU, (std::array<float, 6>{})) << id;
  }
  TBlockClass::BlockClasses.fill(nullptr);
}

}  // namespace
