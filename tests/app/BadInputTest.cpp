// The viewer fed every kind of bad or unusual input through its working
// directory. Errors in the block script end it with status 255 and its message;
// an image that cannot be read leaves its texture unit out and the viewer runs
// as usual; unusual but valid images are used as they are.
#include <gtest/gtest.h>
#include <png.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <ostream>
#include <string>
#include <thread>
#include <vector>

#include "tests/gpu/PngFixture.h"
#include "tests/support/TempDir.h"
#include "tests/support/ViewerProcess.h"
#include "tests/support/WindowPicture.h"
#include "tests/support/XInput.h"

namespace {

// How the terrain looks once chunks are on screen.
enum class TLook {
  Drawn,       // drawn, colours not checked
  Untextured,  // no face atlas: lit, untinted faces
  Red,         // the face atlas is plain red
  Green,       // the face atlas is plain green
  Black,       // the face atlas is plain black
};

struct TBadInput {
  std::string Name;
  std::function<void(const TTempDir&)> Prepare;  // changes the shipped data files
  // A script error: the exact message, with status 255. Empty: the viewer runs
  // until Escape.
  std::string Stderr;
  TLook Look = TLook::Drawn;
};

std::function<void(const TTempDir&)> Script(const std::string& text) {
  return [text](const TTempDir& dir) { dir.Write("Blocks.lua", text); };
}

std::function<void(const TTempDir&)> Remove(const std::string& name) {
  return [name](const TTempDir& dir) { std::filesystem::remove(dir / name); };
}

std::function<void(const TTempDir&)> Empty(const std::string& name) {
  return [name](const TTempDir& dir) { dir.Write(name, ""); };
}

// The image is made when the case runs: the largest takes a while.
std::function<void(const TTempDir&)> Image(const std::string& name,
                                           std::function<TPngFixture()> png) {
  return [name, png](const TTempDir& dir) { WriteFile(dir / name, png().Encode()); };
}

std::function<void(const TTempDir&)> Both(std::function<void(const TTempDir&)> first,
                                          std::function<void(const TTempDir&)> second) {
  return [first, second](const TTempDir& dir) {
    first(dir);
    second(dir);
  };
}

// The shipped file cut to its first half.
std::function<void(const TTempDir&)> Truncate(const std::string& name) {
  return [name](const TTempDir& dir) {
    const std::string bytes = ReadFileBytes(dir / name);
    dir.Write(name, bytes.substr(0, bytes.size() / 2));
  };
}

// The shipped file with its image data scrambled, checksums left as they were.
std::function<void(const TTempDir&)> Corrupt(const std::string& name) {
  return [name](const TTempDir& dir) {
    std::string bytes = ReadFileBytes(dir / name);
    const std::size_t idat = bytes.find("IDAT");
    for (std::size_t i = idat + 4; i < bytes.size() && i < idat + 4004; ++i) bytes[i] ^= 0x5A;
    dir.Write(name, bytes);
  };
}

// A width x height image of one colour, whose samples per pixel are `sample`.
std::function<TPngFixture()> Plain(int width, int height, int colorType, int bitDepth,
                                   std::vector<std::uint16_t> sample,
                                   std::vector<std::array<std::uint8_t, 3>> palette = {}) {
  return [=] {
    TPngFixture png;
    png.Width = width;
    png.Height = height;
    png.ColorType = colorType;
    png.BitDepth = bitDepth;
    png.Samples.reserve(static_cast<std::size_t>(width) * height * sample.size());
    for (int i = 0; i < width * height; ++i)
      png.Samples.insert(png.Samples.end(), sample.begin(), sample.end());
    png.Palette = palette;
    return png;
  };
}

// The shipped script and then about 10 MB of statements that build tables the
// loader never sees, so a script of that size must load and change nothing.
std::string LargeScript() {
  std::string script = ReadFileBytes(DataDir() / "Blocks.lua");
  const std::string line = "Unused = { ID = 1, Faces = { Left = 1, Right = 2, Top = 3 } }\n";
  while (script.size() < 10 * 1024 * 1024) script += line;
  return script;
}

const std::string kLoadError = "Lua Error: Error while loading lua script:\n";
const std::string kRunError = "Lua Error: Error while executing lua script:\n";

std::vector<TBadInput> Cases() {
  return {
      {"NoScript", Remove("Blocks.lua"),
       kLoadError + "\"cannot open Blocks.lua: No such file or directory\""},
      {"SyntaxError", Script("Blocks[1] = { ID = 1,\nFaces = {} "),
       kLoadError + "\"Blocks.lua:2: '}' expected (to close '{' at line 1) near '<eof>'\""},
      {"RunTimeError", Script("Blocks[1] = { ID = 1, Faces = {} }\nlocal x = nil + 1"),
       kRunError + "\"Blocks.lua:2: attempt to perform arithmetic on a nil value\""},
      {"RecordNotATable", Script("Blocks = { { ID = 1, Faces = {} }, true }"),
       "Lua Error: Block record is not a table: boolean"},
      {"NoFaces", Script("Blocks[1] = { ID = 12 }"), "Lua Error: Block 12 has no Faces"},
      {"FacesNotATable", Script("Blocks[1] = { ID = 12, Faces = 5 }"),
       "Lua Error: Faces of block 12 cannot be indexed: number"},
      {"DuplicateId", Script("Blocks = { { ID = 8, Faces = {} }, { ID = 8, Faces = {} } }"),
       "Lua Error: Duplicate block ID: 8"},
      {"NegativeId", Script("Blocks[1] = { ID = -1, Faces = {} }"),
       "Lua Error: Block ID out of range: -1"},
      {"IdPastTheRegistry", Script("Blocks[1] = { ID = 1024, Faces = {} }"),
       "Lua Error: Block ID out of range: 1024"},
      {"HugeId", Script("Blocks[1] = { ID = 1e12, Faces = {} }"),
       "Lua Error: Block ID out of range: 1000000000000"},
      {"BlocksIsANumber", Script("Blocks = 42"), "Lua Error: Blocks is not a table: number"},
      // Terrain IDs without a class still draw, with the atlas's first tile; a
      // plain atlas tells them from the clear colour.
      {"EmptyBlocks",
       Both(Script("-- no blocks"),
            Image("Texture.png", Plain(1, 1, PNG_COLOR_TYPE_RGB, 8, {255, 0, 0}))),
       "", TLook::Red},
      {"TenMegabyteScript", [](const TTempDir& dir) { dir.Write("Blocks.lua", LargeScript()); },
       ""},

      {"NoFaceAtlas", Remove("Texture.png"), "", TLook::Untextured},
      {"EmptyFaceAtlas", Empty("Texture.png"), "", TLook::Untextured},
      {"TruncatedFaceAtlas", Truncate("Texture.png"), "", TLook::Untextured},
      {"CorruptFaceAtlas", Corrupt("Texture.png"), "", TLook::Untextured},
      {"EndlessFaceAtlas",
       [](const TTempDir& dir) {
         std::filesystem::remove(dir / "Texture.png");
         std::filesystem::create_symlink("/dev/zero", dir / "Texture.png");
       },
       "", TLook::Untextured},
      {"NoAOAtlas", Remove("AO.png"), ""},
      {"EmptyAOAtlas", Empty("AO.png"), ""},
      {"TruncatedAOAtlas", Truncate("AO.png"), ""},
      {"CorruptAOAtlas", Corrupt("AO.png"), ""},

      {"OnePixelAtlas", Image("Texture.png", Plain(1, 1, PNG_COLOR_TYPE_RGB, 8, {255, 0, 0})), "",
       TLook::Red},
      {"HugeAtlas", Image("Texture.png", Plain(4096, 4096, PNG_COLOR_TYPE_RGB, 8, {0, 255, 0})), "",
       TLook::Green},
      {"PaletteAtlas",
       Image("Texture.png", Plain(16, 16, PNG_COLOR_TYPE_PALETTE, 4, {3},
                                  {{0, 0, 255}, {0, 255, 0}, {40, 40, 40}, {255, 0, 0}})),
       "", TLook::Red},
      {"SixteenBitAtlas",
       Image("Texture.png", Plain(16, 16, PNG_COLOR_TYPE_RGB_ALPHA, 16, {0, 65535, 0, 65535})), "",
       TLook::Green},
      {"GreyAlphaAtlas",
       Image("Texture.png", Plain(16, 16, PNG_COLOR_TYPE_GRAY_ALPHA, 8, {0, 255})), "",
       TLook::Black},
  };
}

// The clear colour, 128/256 of full scale, where no chunk is drawn.
bool IsClearColour(const std::uint8_t* rgb) {
  for (int c = 0; c < 3; ++c)
    if (rgb[c] < 125 || rgb[c] > 131) return false;
  return true;
}

struct TPictureSummary {
  double ClearShare = 0.0;    // of all pixels
  double TerrainShare = 0.0;  // of all pixels
  double Mean[3] = {};        // R, G, B of the terrain pixels
};

TPictureSummary Summarise(const TWindowPicture& picture) {
  TPictureSummary summary;
  std::size_t clear = 0, terrain = 0;
  double sum[3] = {};
  for (int y = 0; y < picture.Height; ++y) {
    for (int x = 0; x < picture.Width; ++x) {
      const std::uint8_t* rgb = picture.PixelAt(x, y);
      if (IsClearColour(rgb)) {
        ++clear;
      } else {
        ++terrain;
        for (int c = 0; c < 3; ++c) sum[c] += rgb[c];
      }
    }
  }
  const double total = static_cast<double>(picture.Width) * picture.Height;
  summary.ClearShare = static_cast<double>(clear) / total;
  summary.TerrainShare = static_cast<double>(terrain) / total;
  for (int c = 0; c < 3; ++c) summary.Mean[c] = terrain ? sum[c] / static_cast<double>(terrain) : 0;
  return summary;
}

void PrintTo(const TBadInput& c, std::ostream* out) {
  *out << c.Name;
}

class BadInputTest : public ::testing::TestWithParam<TBadInput> {
 protected:
  void TearDown() override { EXPECT_EQ(TXInput::HeldKeys(), "") << "keys left down"; }
};

TEST_P(BadInputTest, HasItsDefinedOutcome) {
  const TBadInput& c = GetParam();
  TTempDir data;
  data.CopyAllData();
  c.Prepare(data);

  TViewerProcess viewer;
  const auto started = std::chrono::steady_clock::now();
  ASSERT_TRUE(viewer.Start(data.Path().string()));

  if (!c.Stderr.empty()) {
    const TProcessResult result = viewer.Wait(30.0);
    EXPECT_FALSE(result.TimedOut);
    EXPECT_EQ(result.Signal, 0);
    EXPECT_EQ(result.ExitCode, 255);
    EXPECT_EQ(result.Stderr, c.Stderr);
    EXPECT_EQ(result.Stdout, "");
    return;
  }

  // Running normally: the frame loop starts (the clear colour fills the
  // window) within a time that even the largest inputs leave plenty of room
  // in, then chunks appear, as fast as the workers get a core.
  const std::string window = viewer.WaitForWindow();
  ASSERT_FALSE(window.empty());
  double firstFrame = 0.0;
  TPictureSummary seen;
  for (;;) {
    if (viewer.EndedEarly()) return;
    const double elapsed =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    if (const auto picture = TWindowPicture::Capture(window)) {
      seen = Summarise(*picture);
      // Before the first frame the window holds no clear colour at all.
      if (seen.ClearShare > 0.5) {
        if (firstFrame == 0.0) firstFrame = elapsed;
        if (seen.TerrainShare > 0.02) break;
      }
    }
    if (elapsed > 120.0) break;
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  EXPECT_GT(firstFrame, 0.0) << "no frame drawn";
  EXPECT_LT(firstFrame, 30.0) << "start-up took too long";
  EXPECT_GT(seen.TerrainShare, 0.02) << "no chunk drawn";
  const double r = seen.Mean[0], g = seen.Mean[1], b = seen.Mean[2];
  switch (c.Look) {
    case TLook::Drawn:
      break;
    case TLook::Untextured:  // lit grey, a little yellow from the sun
      EXPECT_GT(r, 100.0);
      EXPECT_NEAR(r, g, 8.0);
      EXPECT_LE(b, r);
      break;
    case TLook::Red:
      EXPECT_GT(r, 100.0);
      EXPECT_LT(g, 20.0);
      EXPECT_LT(b, 20.0);
      break;
    case TLook::Green:
      EXPECT_LT(r, 20.0);
      EXPECT_GT(g, 100.0);
      EXPECT_LT(b, 20.0);
      break;
    case TLook::Black:
      EXPECT_LT(std::max({r, g, b}), 20.0);
      break;
  }

  ASSERT_TRUE(TViewerProcess::PressEscape(window));
  const TProcessResult result = viewer.Wait(10.0);
  EXPECT_FALSE(result.TimedOut);
  EXPECT_EQ(result.Signal, 0);
  EXPECT_EQ(result.ExitCode, 0);
  EXPECT_EQ(result.Stderr, "");
  EXPECT_EQ(result.Stdout, "");
}

INSTANTIATE_TEST_SUITE_P(Inputs, BadInputTest, ::testing::ValuesIn(Cases()),
                         [](const ::testing::TestParamInfo<TBadInput>& info) {
                           return info.param.Name;
                         });

}  // namespace
