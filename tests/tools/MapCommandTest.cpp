#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "gpu/Image.h"
#include "tests/support/Process.h"
#include "tests/support/SanitizerBuild.h"
#include "tests/support/TempDir.h"
#include "tests/tools/RegionCommand.h"
#include "tests/world/WorldFixtures.h"
#include "world/Chunk.h"
#include "world/TerrainShape.h"

namespace {

using TRgb = std::array<int, 3>;

// A hand-made world look: block TerrainShape::WORLD_BLOCKS[n] shows atlas tile n + 1 on top, and
// those tiles are plain colours of distinct hue. No channel passes 170, so no
// shading (at most 1.5) clips one, and a shaded pixel keeps its colour's
// proportions.
const std::map<int, TRgb> kTileColours = {
    {1, {170, 0, 0}},   {2, {0, 170, 0}},   {3, {0, 0, 170}},  {4, {170, 170, 0}},
    {5, {0, 170, 170}}, {6, {170, 0, 170}}, {7, {170, 84, 0}}, {8, {84, 0, 170}},
};

struct TLook {
  std::map<int, int> TopTile;      // block ID -> atlas tile of its top face
  std::map<int, TRgb> TileColour;  // atlas tile -> its colour

  TLook() {
    for (int n = 0; n < static_cast<int>(TerrainShape::WORLD_BLOCKS.size()); ++n) {
      TopTile[TerrainShape::WORLD_BLOCKS[n]] = n + 1;
    }
    TileColour = kTileColours;
  }
  TRgb ColourOf(int id) const { return TileColour.at(TopTile.at(id)); }

  std::string Script() const {
    std::string script;
    for (const auto& [id, tile] : TopTile) {
      script += "table.insert(Blocks, { ID = " + std::to_string(id) +
                ", Faces = { Left = 200, Right = 200, Front = 200, Back = 200, Top = " +
                std::to_string(tile) + ", Bottom = 200 } })\n";
    }
    return script;
  }

  // 16 x 16 tiles of 2 x 2 texels; tiles without a colour are dark grey.
  TImage Atlas() const {
    TImage atlas;
    atlas.Width = atlas.Height = 32;
    atlas.Pixels.resize(32 * 32 * 4);
    for (int y = 0; y < 32; ++y) {
      for (int x = 0; x < 32; ++x) {
        const int tile = y / 2 * 16 + x / 2 + 1;
        const auto found = TileColour.find(tile);
        const TRgb c = found != TileColour.end() ? found->second : TRgb{30, 30, 30};
        std::uint8_t* p = atlas.PixelAt(x, y);
        for (int n = 0; n < 3; ++n) p[n] = static_cast<std::uint8_t>(c[n]);
        p[3] = 255;
      }
    }
    return atlas;
  }

  void WriteTo(const TTempDir& dir) const {
    dir.Write("Blocks.lua", Script());
    ASSERT_TRUE(Atlas().SavePng(dir / "Texture.png"));
  }
};

std::vector<std::string> MapArguments(const TRegion& r, const std::string& out) {
  return RegionArguments("map", r, out);
}

// What generation puts at the top of every column of a region, and whether the
// ground is level around it, pixel by pixel in map order.
struct TExpectedColumn {
  int Id = 0;
  bool Level = false;
};

std::vector<TExpectedColumn> ExpectedColumns(const TRegion& r) {
  EnsureNoiseTables();
  const int width = (r.X1 - r.X0 + 1) * 32;
  std::vector<TExpectedColumn> columns(static_cast<std::size_t>(width) * (r.Z1 - r.Z0 + 1) * 32);
  for (int cz = r.Z0; cz <= r.Z1; ++cz) {
    for (int cx = r.X0; cx <= r.X1; ++cx) {
      const auto chunk = TChunk::NewUnregistered(cx, cz);
      chunk->GenerateData();
      for (int z = 0; z < 32; ++z) {
        for (int x = 0; x < 32; ++x) {
          TExpectedColumn& column = columns[static_cast<std::size_t>((cz - r.Z0) * 32 + z) * width +
                                            (cx - r.X0) * 32 + x];
          const int h = chunk->Height[x + 2][z + 2];
          column.Id = chunk->VoxelData[x + 2][h][z + 2];
          column.Level = true;
          for (int dz = -1; dz <= 1; ++dz) {
            for (int dx = -1; dx <= 1; ++dx)
              column.Level &= chunk->Height[x + 2 + dx][z + 2 + dz] == h;
          }
        }
      }
    }
  }
  return columns;
}

// Checks every pixel: opaque, the top block's tile colour times one factor
// (exactly the colour where the ground is level). Returns how many were level.
int ExpectPixels(const TImage& map, const std::vector<TExpectedColumn>& columns,
                 const std::function<TRgb(int id)>& colourOf) {
  int level = 0, wrong = 0;
  for (int py = 0; py < map.Height; ++py) {
    for (int px = 0; px < map.Width; ++px) {
      const TExpectedColumn& column = columns[static_cast<std::size_t>(py) * map.Width + px];
      const std::uint8_t* p = map.PixelAt(px, py);
      const TRgb c = colourOf(column.Id);
      const int brightest = *std::max_element(c.begin(), c.end());
      const double factor = std::max({p[0], p[1], p[2]}) / static_cast<double>(brightest);
      bool ok = p[3] == 255 && factor >= 0.29 && factor <= 1.51;
      for (int n = 0; n < 3; ++n) ok &= std::abs(p[n] - c[n] * factor) <= 1.0;
      if (column.Level) {
        ok &= p[0] == c[0] && p[1] == c[1] && p[2] == c[2];
        ++level;
      }
      if (!ok && ++wrong <= 5) {
        ADD_FAILURE() << "pixel (" << px << ", " << py << ") of block " << column.Id << " is "
                      << int{p[0]} << " " << int{p[1]} << " " << int{p[2]} << " " << int{p[3]};
      }
    }
  }
  EXPECT_EQ(wrong, 0);
  return level;
}

TEST(MapCommandTest, EveryPixelShowsItsColumnsTopBlockInTheColourOfItsTile) {
  const TRegion regions[] = {
      {-1, -1, 0, 0},                              // four chunks around the origin
      {999'999, -1'000'000, 1'000'000, -999'999},  // the far corners the tools accept
      {-1'000'000, 999'999, -1'000'000, 1'000'000},
  };
  const TLook look;
  for (const TRegion& region : regions) {
    SCOPED_TRACE(testing::Message() << "region " << region.X0 << " " << region.Z0);
    TTempDir dir;
    look.WriteTo(dir);
    const TProcessResult result = RunIn(dir, MapArguments(region, dir / "map.png"));
    ASSERT_EQ(result.ExitCode, 0) << result.Stderr;
    EXPECT_EQ(result.Stderr, "");
    EXPECT_EQ(result.Stdout, "");
    const std::optional<TImage> map = TImage::LoadPng(dir / "map.png");
    ASSERT_TRUE(map);
    ASSERT_EQ(map->Width, (region.X1 - region.X0 + 1) * 32);
    ASSERT_EQ(map->Height, (region.Z1 - region.Z0 + 1) * 32);
    const int level =
        ExpectPixels(*map, ExpectedColumns(region), [&](int id) { return look.ColourOf(id); });
    EXPECT_GT(level, 0);
    EXPECT_LT(level, map->Width * map->Height);
  }
}

TEST(MapCommandTest, AChangedScriptOrAtlasShowsInTheMap) {
  struct TCase {
    const char* Name;
    std::function<void(TLook&)> Change;
  };
  const TCase cases[] = {
      {"the script gives grass the tile of snow", [](TLook& look) { look.TopTile[2] = 8; }},
      {"the atlas repaints the grass tile",
       [](TLook& look) {
         look.TileColour[2] = {90, 40, 160};
       }},
  };
  const TRegion region{3, 5, 3, 5};
  const std::vector<TExpectedColumn> columns = ExpectedColumns(region);
  ASSERT_TRUE(std::any_of(columns.begin(), columns.end(), [](auto& c) { return c.Id == 2; }));
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    TLook look;
    c.Change(look);
    TTempDir dir;
    look.WriteTo(dir);
    const TProcessResult result = RunIn(dir, MapArguments(region, "map.png"));
    ASSERT_EQ(result.ExitCode, 0) << result.Stderr;
    const std::optional<TImage> map = TImage::LoadPng(dir / "map.png");
    ASSERT_TRUE(map);
    ExpectPixels(*map, columns, [&](int id) { return look.ColourOf(id); });
  }
}

TEST(MapCommandTest, WithoutAReadableAtlasFacesAreWhiteAsTheViewerDrawsThem) {
  const std::vector<std::pair<const char*, std::optional<std::string>>> atlases = {
      {"missing", std::nullopt}, {"not a PNG", "GIF89a"}};
  const TRegion region{0, 0, 0, 0};
  const std::vector<TExpectedColumn> columns = ExpectedColumns(region);
  for (const auto& [name, bytes] : atlases) {
    SCOPED_TRACE(name);
    TTempDir dir;
    TLook().WriteTo(dir);
    std::filesystem::remove(dir / "Texture.png");
    if (bytes) dir.Write("Texture.png", *bytes);
    const TProcessResult result = RunIn(dir, MapArguments(region, "map.png"));
    ASSERT_EQ(result.ExitCode, 0) << result.Stderr;
    EXPECT_EQ(result.Stderr,
              "voxeltool map: Texture.png cannot be read: faces are drawn untextured (white), as "
              "the viewer draws them\n");
    const std::optional<TImage> map = TImage::LoadPng(dir / "map.png");
    ASSERT_TRUE(map);
    ExpectPixels(*map, columns, [](int) { return TRgb{255, 255, 255}; });
  }
}

TEST(MapCommandTest, RefusesBadRegionsAndFailuresWithOneLineAndNoFile) {
  ExpectRefusals(
      "map",
      {
          {{"--from", "1", "0", "--to", "0", "0", "--out", "map.png"},
           2,
           "voxeltool map: --to: the region runs from --from 1 0 to --to 0 0: each of X1, Z1 must "
           "be at least X0, Z0 (see voxeltool map --help)\n",
           true},
          {{"--from", "0", "-5", "--to", "0", "-6", "--out", "map.png"},
           2,
           "voxeltool map: --to: the region runs from --from 0 -5 to --to 0 -6: each of X1, Z1 "
           "must "
           "be at least X0, Z0 (see voxeltool map --help)\n",
           true},
          {{"--from", "0", "0", "--to", "31250", "0", "--out", "map.png"},
           2,
           "voxeltool map: --to: the map would be 1000032 x 32 pixels; a PNG file holds at most "
           "1000000 a side, so a region is at most 31250 chunks wide and deep (see voxeltool map "
           "--help)\n",
           true},
          {{"--from", "0", "-1000000", "--to", "0", "1000000", "--out", "map.png"},
           2,
           "voxeltool map: --to: the map would be 32 x 64000032 pixels;",
           false},
          {{"--from", "0", "1000001", "--to", "0", "2000000", "--out", "map.png"},
           2,
           "voxeltool map: --from: '1000001' is not a chunk coordinate",
           false},
          {{"--from", "0", "0", "--to", "0", "0"}, 2, "voxeltool map: --out is required", false},
          {{"--from", "0", "0", "--to", "0", "0", "--out", "missing/map.png"},
           1,
           "voxeltool map: cannot write 'missing/map.png': No such file or directory\n",
           true},
      });
}

TEST(MapCommandTest, AScriptErrorEndsItAsItEndsTheViewer) {
  TTempDir dir;
  dir.CopyAllData();
  dir.Write("Blocks.lua", "error('no blocks today')");
  const TProcessResult result = RunIn(dir, MapArguments({0, 0, 0, 0}, "map.png"));
  EXPECT_EQ(result.ExitCode, 255);
  EXPECT_EQ(result.Stderr,
            "Lua Error: Error while executing lua script:\n\"Blocks.lua:1: no blocks today\"");
  EXPECT_FALSE(std::filesystem::exists(dir / "map.png"));
}

TEST(MapCommandTest, MemoryDoesNotGrowWithTheNumberOfChunks) {
  if (kSanitizerBuild) GTEST_SKIP() << "peak memory is not the program's own under a sanitizer";
  // 384 chunks; a tool that kept the chunks it built (330 KB each) would pass
  // 120 MB, one that kept a chunk row's worth of them barely notices.
  TTempDir dir;
  dir.CopyAllData();
  const TProcessResult result = RunIn(dir, MapArguments({0, 0, 3, 95}, "map.png"));
  ASSERT_EQ(result.ExitCode, 0) << result.Stderr;
  EXPECT_LT(result.MaxResidentKb, 40 * 1024);
  const std::optional<TImage> map = TImage::LoadPng(dir / "map.png");
  ASSERT_TRUE(map);
  EXPECT_EQ(map->Height, 96 * 32);
}

TEST(MapCommandTest, AnInterruptedMapLeavesNoFileAndTheOldOneAlone) {
  ExpectAnInterruptLeavesTheOldFile("map", {-32, -32, 31, 31}, "map.png");
}

}  // namespace
