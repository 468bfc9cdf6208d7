// The shipped data: the atlases must be what `voxeltool atlas` paints, the AO
// tiles must shade the right side and join without seams, and Blocks.lua must
// define every block the world is made of.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <map>
#include <optional>
#include <sstream>
#include <string>

#include "gpu/Image.h"
#include "tests/support/Process.h"
#include "tests/support/TempDir.h"
#include "world/TerrainShape.h"

namespace {

constexpr int kAOTile = 32;  // pixels per AO tile side
constexpr int kFaceTile = 16;

// A PNG file's header fields after the size: bit depth, colour type,
// compression, filter and interlace method (IHDR bytes 8..12, file offset 24).
std::string PngFormat(const std::string& file) {
  return file.size() >= 29 ? file.substr(24, 5) : std::string();
}

TEST(AtlasTest, AtlasCommandPaintsTheShippedAtlases) {
  TTempDir dir;
  const std::string out = dir / "atlases";
  const TProcessResult result = RunProcess({VX_VOXELTOOL, "atlas", "--out", out}, {});
  ASSERT_EQ(result.ExitCode, 0) << result.Stderr;
  // Pixels, size and format, not the files' bytes: those depend on the zlib
  // that compressed them.
  for (const char* name : {"Texture.png", "AO.png"}) {
    SCOPED_TRACE(name);
    const std::filesystem::path painted = std::filesystem::path(out) / name;
    const std::filesystem::path shipped = DataDir() / name;
    const std::optional<TImage> paintedImage = TImage::LoadPng(painted.string());
    const std::optional<TImage> shippedImage = TImage::LoadPng(shipped.string());
    ASSERT_TRUE(paintedImage && shippedImage);
    EXPECT_EQ(PngFormat(ReadFileBytes(painted)), PngFormat(ReadFileBytes(shipped)));
    EXPECT_EQ(paintedImage->Width, shippedImage->Width);
    EXPECT_EQ(paintedImage->Height, shippedImage->Height);
    EXPECT_TRUE(paintedImage->Pixels == shippedImage->Pixels)
        << "differs from data/" << name << "; repaint with: voxeltool atlas --out data";
  }
}

class AOAtlasTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    Atlas = TImage::LoadPng((DataDir() / "AO.png").string());
    ASSERT_TRUE(Atlas.has_value());
  }
  // Grey level of pixel (x, y) of the tile for `mask`.
  static int At(int mask, int x, int y) {
    return Atlas->PixelAt(mask % 16 * kAOTile + x, mask / 16 * kAOTile + y)[0];
  }
  static inline std::optional<TImage> Atlas;
};

TEST_F(AOAtlasTest, OpaqueGreyNeverDarkerThanFortyPercentAndWhiteWithoutNeighbours) {
  ASSERT_EQ(Atlas->Width, 16 * kAOTile);
  ASSERT_EQ(Atlas->Height, 16 * kAOTile);
  int darkest = 255;
  for (int y = 0; y < Atlas->Height; ++y) {
    for (int x = 0; x < Atlas->Width; ++x) {
      const std::uint8_t* p = Atlas->PixelAt(x, y);
      ASSERT_TRUE(p[0] == p[1] && p[1] == p[2] && p[3] == 255) << x << ", " << y;
      darkest = std::min<int>(darkest, p[0]);
    }
  }
  EXPECT_GE(darkest, 102);
  for (int y = 0; y < kAOTile; ++y)
    for (int x = 0; x < kAOTile; ++x) ASSERT_EQ(At(0, x, y), 255) << x << ", " << y;
}

TEST_F(AOAtlasTest, EachNeighbourDarkensTheTileCornersItTouches) {
  // The cell of each bit as (column, row) offsets from the face; -1 = left / top.
  const int cells[8][2] = {{-1, -1}, {0, -1}, {1, -1}, {-1, 0}, {1, 0}, {-1, 1}, {0, 1}, {1, 1}};
  for (int bit = 0; bit < 8; ++bit) {
    for (int kx : {-1, 1}) {
      for (int ky : {-1, 1}) {
        const bool touches = (cells[bit][0] == 0 || cells[bit][0] == kx) &&
                             (cells[bit][1] == 0 || cells[bit][1] == ky);
        const int corner = At(1 << bit, kx < 0 ? 0 : kAOTile - 1, ky < 0 ? 0 : kAOTile - 1);
        if (touches) {
          EXPECT_LT(corner, 200) << "bit " << bit << " corner " << kx << ", " << ky;
        } else {
          EXPECT_EQ(corner, 255) << "bit " << bit << " corner " << kx << ", " << ky;
        }
      }
    }
  }
}

// Two faces side by side whose open cells are both empty share four of their
// cells; the step in shading across their border must be no larger than the
// steepest step between neighbouring pixels inside any tile.
TEST_F(AOAtlasTest, NeighbouringFacesJoinWithoutSeams) {
  int steepest = 0;
  for (int mask = 0; mask < 256; ++mask)
    for (int y = 0; y < kAOTile; ++y)
      for (int x = 0; x + 1 < kAOTile; ++x) {
        steepest = std::max(steepest, std::abs(At(mask, x + 1, y) - At(mask, x, y)));
        steepest = std::max(steepest, std::abs(At(mask, y, x + 1) - At(mask, y, x)));
      }
  ASSERT_GT(steepest, 0);

  auto bit = [](int value, int from, int to) { return ((value >> from) & 1) << to; };
  int worst = 0;
  for (int cells = 0; cells < 1024; ++cells) {
    // Face b right of face a: a's cells 1, 2, 6, 7 are b's cells 0, 1, 5, 6;
    // a's right neighbour and b's left one are the two open cells.
    const int a = bit(cells, 0, 0) | bit(cells, 1, 3) | bit(cells, 2, 5) | bit(cells, 3, 1) |
                  bit(cells, 4, 2) | bit(cells, 5, 6) | bit(cells, 6, 7);
    const int b = bit(cells, 3, 0) | bit(cells, 4, 1) | bit(cells, 5, 5) | bit(cells, 6, 6) |
                  bit(cells, 7, 2) | bit(cells, 8, 4) | bit(cells, 9, 7);
    // Face d below face c: c's cells 3, 4, 5, 7 are d's cells 0, 2, 3, 4.
    const int c = bit(cells, 0, 0) | bit(cells, 1, 1) | bit(cells, 2, 2) | bit(cells, 3, 3) |
                  bit(cells, 4, 4) | bit(cells, 5, 5) | bit(cells, 6, 7);
    const int d = bit(cells, 3, 0) | bit(cells, 4, 2) | bit(cells, 5, 3) | bit(cells, 6, 4) |
                  bit(cells, 7, 5) | bit(cells, 8, 6) | bit(cells, 9, 7);
    for (int i = 0; i < kAOTile; ++i) {
      worst = std::max(worst, std::abs(At(a, kAOTile - 1, i) - At(b, 0, i)));
      worst = std::max(worst, std::abs(At(c, i, kAOTile - 1) - At(d, i, 0)));
    }
  }
  EXPECT_LE(worst, steepest);
}

TEST(FaceAtlasTest, SideTilesAreUprightWithTheirCoverOnTop) {
  const std::optional<TImage> atlas = TImage::LoadPng((DataDir() / "Texture.png").string());
  ASSERT_TRUE(atlas.has_value());
  ASSERT_EQ(atlas->Width, 16 * kFaceTile);
  ASSERT_EQ(atlas->Height, 16 * kFaceTile);
  auto rowMean = [&](int tile, int row, int channel) {
    int sum = 0;
    for (int x = 0; x < kFaceTile; ++x)
      sum += atlas->PixelAt((tile - 1) % 16 * kFaceTile + x,
                            (tile - 1) / 16 * kFaceTile + row)[channel];
    return sum / kFaceTile;
  };
  constexpr int kGrassSide = 4, kSnowSide = 8;
  EXPECT_GT(rowMean(kGrassSide, 0, 1), rowMean(kGrassSide, 0, 0) + 40);  // green on top
  EXPECT_GT(rowMean(kGrassSide, kFaceTile - 1, 0),
            rowMean(kGrassSide, kFaceTile - 1, 1));  // dirt below
  EXPECT_GT(rowMean(kSnowSide, 0, 2), 200);          // white on top
  EXPECT_LT(rowMean(kSnowSide, kFaceTile - 1, 2), 100);
}

TEST(ShippedBlocksTest, EveryBlockOfTheWorldIsDefinedWithPaintedFaces) {
  TTempDir dir;
  dir.CopyData("Blocks.lua");
  TProcessOptions options;
  options.WorkingDirectory = dir.Path().string();
  const TProcessResult result = RunProcess({VX_VOXELTOOL, "blocks"}, options);
  ASSERT_EQ(result.ExitCode, 0) << result.Stderr;

  std::map<int, std::map<std::string, std::string>> blocks;
  std::istringstream lines(result.Stdout);
  for (std::string line; std::getline(lines, line);) {
    std::map<std::string, std::string> fields;
    std::istringstream words(line);
    for (std::string word; words >> word;) {
      const std::size_t eq = word.find('=');
      fields[word.substr(0, eq)] = word.substr(eq + 1);
    }
    blocks[std::stoi(fields["ID"])] = fields;
  }
  for (int id : TerrainShape::WORLD_BLOCKS) {
    SCOPED_TRACE("ID " + std::to_string(id));
    ASSERT_TRUE(blocks.count(id));
    EXPECT_EQ(blocks[id]["IsSolidBlock"], id == TerrainShape::FILL_BLOCK ? "0" : "1");
    std::istringstream tiles(blocks[id]["FaceTexture"]);
    for (std::string tile; std::getline(tiles, tile, ',');) {
      // Tiles 1..15 are the painted pictures; 16 is the "missing" pattern.
      EXPECT_GE(std::stoi(tile), 1);
      EXPECT_LE(std::stoi(tile), 15);
    }
  }
}

}  // namespace
