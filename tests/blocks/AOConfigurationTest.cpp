#include <gtest/gtest.h>

#include <cstdint>
#include <memory>

#include "blocks/BlockClass.h"

namespace {

constexpr std::uint8_t kStone = 1;
constexpr std::uint8_t kGlass = 2;   // transparent
constexpr std::uint8_t kLeaves = 3;  // masked
constexpr std::uint8_t kUnknown = 200;

// The open cell every case looks from, in grid indices.
constexpr int kX = 10, kY = 64, kZ = 20;

struct TGridBox {
  TVoxelGrid Cells{};
};

class AOConfigurationTest : public ::testing::Test {
 protected:
  void SetUp() override {
    TBlockClass::BlockClasses.fill(nullptr);
    Register(kStone, 0, 0);
    Register(kGlass, 1, 0);
    Register(kLeaves, 0, 1);
  }
  void TearDown() override { TBlockClass::BlockClasses.fill(nullptr); }

  static void Register(int id, int transparent, int masked) {
    auto block = std::make_shared<TBlockClass>();
    block->ID = id;
    block->Transparent = transparent;
    block->Masked = masked;
    block->InitFields();
    TBlockClass::BlockClasses[id] = block;
  }

  void Set(int dx, int dy, int dz, std::uint8_t id) { Grid->Cells[kX + dx][kY + dy][kZ + dz] = id; }
  int Mask(int dx, int dy, int dz) const {
    return TBlockClass::GetAOConfiguration(Grid->Cells, kX, kY, kZ, dx, dy, dz);
  }

  std::unique_ptr<TGridBox> Grid = std::make_unique<TGridBox>();
};

TEST(AOTileTest, TileCoordinatesRunRowByRowFromTheTopLeft) {
  TBlockClass::PrecalcAOCoordinates();
  struct {
    int Mask;
    float U, V;
  } cases[] = {{0, 0.0f, 0.0f},
               {15, 15.0f / 16, 0.0f},
               {16, 0.0f, 0.0625f},
               {17, 0.0625f, 0.0625f},
               {255, 15.0f / 16, 15.0f / 16}};
  for (const auto& c : cases) {
    EXPECT_EQ(TBlockClass::AOTileU[c.Mask], c.U) << c.Mask;
    EXPECT_EQ(TBlockClass::AOTileV[c.Mask], c.V) << c.Mask;
  }
}

TEST_F(AOConfigurationTest, NoSolidNeighbourGivesZeroAndEightGive255) {
  for (const auto& d : {std::array{0, 1, 0}, std::array{1, 0, 0}, std::array{0, 0, -1}}) {
    EXPECT_EQ(Mask(d[0], d[1], d[2]), 0);
  }
  for (int a = -1; a <= 1; ++a)
    for (int b = -1; b <= 1; ++b)
      for (int c = -1; c <= 1; ++c)
        if (a != 0 || b != 0 || c != 0) Set(a, b, c, kStone);
  for (const auto& d : {std::array{0, -1, 0}, std::array{-1, 0, 0}, std::array{0, 0, 1}}) {
    EXPECT_EQ(Mask(d[0], d[1], d[2]), 255);
  }
}

// The cell of each bit, for each axis, as offsets from the open cell.
struct TBitCase {
  int Bit;
  std::array<int, 3> AcrossY, AcrossX, AcrossZ;
};

const TBitCase kBits[] = {
    {0, {1, 0, 1}, {0, 1, -1}, {-1, 1, 0}},  {1, {0, 0, 1}, {0, 1, 0}, {0, 1, 0}},
    {2, {-1, 0, 1}, {0, 1, 1}, {1, 1, 0}},   {3, {1, 0, 0}, {0, 0, -1}, {-1, 0, 0}},
    {4, {-1, 0, 0}, {0, 0, 1}, {1, 0, 0}},   {5, {1, 0, -1}, {0, -1, -1}, {-1, -1, 0}},
    {6, {0, 0, -1}, {0, -1, 0}, {0, -1, 0}}, {7, {-1, 0, -1}, {0, -1, 1}, {1, -1, 0}},
};

TEST_F(AOConfigurationTest, EachSingleSolidCellSetsItsOwnBitOnItsAxisOnly) {
  struct TAxis {
    const char* Name;
    std::array<int, 3> TBitCase::*Cell;
    std::array<int, 3> Direction;
  };
  const TAxis axes[] = {{"y", &TBitCase::AcrossY, {0, 1, 0}},
                        {"x", &TBitCase::AcrossX, {1, 0, 0}},
                        {"z", &TBitCase::AcrossZ, {0, 0, 1}}};
  for (const TBitCase& bit : kBits) {
    for (const TAxis& axis : axes) {
      const std::array<int, 3> cell = bit.*(axis.Cell);
      Set(cell[0], cell[1], cell[2], kStone);
      const std::array<int, 3>& d = axis.Direction;
      EXPECT_EQ(Mask(d[0], d[1], d[2]), 1 << bit.Bit) << "axis " << axis.Name << " bit " << bit.Bit;
      EXPECT_EQ(Mask(-d[0], -d[1], -d[2]), 1 << bit.Bit)
          << "axis " << axis.Name << " bit " << bit.Bit << ", opposite direction";
      Set(cell[0], cell[1], cell[2], 0);
    }
  }
}

TEST_F(AOConfigurationTest, TheAxisIsTheFirstNonZeroOfYThenXThenZ) {
  // One stone in each plane and in no other: bit 0 across y, bit 7 across x,
  // bit 5 across z.
  Set(1, 0, 1, kStone);
  Set(0, -1, 1, kStone);
  Set(-1, -1, 0, kStone);
  EXPECT_EQ(Mask(1, 1, 1), 1);
  EXPECT_EQ(Mask(-1, -1, 0), 1);
  EXPECT_EQ(Mask(1, 0, 1), 128);
  EXPECT_EQ(Mask(-1, 0, -1), 128);
  EXPECT_EQ(Mask(0, 0, -1), 32);
}

TEST_F(AOConfigurationTest, UpAndDownSampleTheSamePlane) {
  Set(1, 0, 1, kStone);
  Set(0, 0, -1, kStone);
  Set(-1, 0, 0, kStone);
  Set(0, 1, 1, kStone);  // above the plane: seen by neither
  EXPECT_EQ(Mask(0, 1, 0), 1 | 64 | 16);
  EXPECT_EQ(Mask(0, -1, 0), Mask(0, 1, 0));
}

TEST_F(AOConfigurationTest, TransparentMaskedAndUnregisteredCellsCastNoOcclusion) {
  for (std::uint8_t id : {kGlass, kLeaves, kUnknown}) {
    for (const TBitCase& bit : kBits) Set(bit.AcrossY[0], bit.AcrossY[1], bit.AcrossY[2], id);
    EXPECT_EQ(Mask(0, 1, 0), 0) << "id " << int{id};
  }
}

TEST_F(AOConfigurationTest, ZeroDirectionGivesZero) {
  for (const TBitCase& bit : kBits) {
    Set(bit.AcrossY[0], bit.AcrossY[1], bit.AcrossY[2], kStone);
    Set(bit.AcrossX[0], bit.AcrossX[1], bit.AcrossX[2], kStone);
    Set(bit.AcrossZ[0], bit.AcrossZ[1], bit.AcrossZ[2], kStone);
  }
  EXPECT_EQ(Mask(0, 0, 0), 0);
}

}  // namespace
