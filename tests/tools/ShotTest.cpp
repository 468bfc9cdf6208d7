#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <set>

#include "gpu/Image.h"
#include "tests/support/Process.h"
#include "tests/support/TempDir.h"
#include "tests/tools/OutputCases.h"

namespace {

// The viewer's picture, taken by `voxeltool shot` in a working directory with
// the shipped data. Checked by regions and colours: rasterisers differ in the
// last bits, so exact bytes would be brittle.
class ShotTest : public ::testing::Test {
 protected:
  void SetUp() override { Data.CopyAllData(); }

  std::optional<TImage> Shoot(const std::vector<std::string>& extra) {
    std::vector<std::string> argv = {VX_VOXELTOOL, "shot", "--out", Data / "shot.png"};
    argv.insert(argv.end(), extra.begin(), extra.end());
    TProcessOptions options;
    options.WorkingDirectory = Data.Path().string();
    options.TimeoutSeconds = 120.0;
    const TProcessResult result = RunProcess(argv, options);
    EXPECT_EQ(result.ExitCode, 0) << result.Stderr;
    EXPECT_EQ(result.Stderr, "");
    return TImage::LoadPng(Data / "shot.png");
  }

  static bool IsClearGrey(const std::uint8_t* p) {
    return std::abs(p[0] - 128) <= 1 && std::abs(p[1] - 128) <= 1 && std::abs(p[2] - 128) <= 1;
  }

  // Share of clear-grey pixels in rows [top, bottom).
  static double GreyShare(const TImage& image, int top, int bottom) {
    long grey = 0;
    for (int y = top; y < bottom; ++y) {
      for (int x = 0; x < image.Width; ++x) grey += IsClearGrey(image.PixelAt(x, y));
    }
    return static_cast<double>(grey) / (static_cast<double>(bottom - top) * image.Width);
  }

  TTempDir Data;
};

TEST_F(ShotTest, FirstFrameShowsOnlyTheClearColour) {
  const auto image = Shoot({"--frames", "1"});
  ASSERT_TRUE(image);
  ASSERT_EQ(image->Width, 1024);
  ASSERT_EQ(image->Height, 768);
  EXPECT_EQ(GreyShare(*image, 0, 768), 1.0);
}

TEST_F(ShotTest, LoadedWorldShowsSkyAboveAndTexturedLitTerrainBelow) {
  const auto image = Shoot({});
  ASSERT_TRUE(image);
  // The camera looks level along +X from height 100: sky at the top ...
  EXPECT_GT(GreyShare(*image, 0, 100), 0.9);
  // ... and terrain filling the bottom, where the hills are near.
  EXPECT_LT(GreyShare(*image, 672, 768), 0.05);

  // Textured and shaded: many distinct colours, neither black nor washed out.
  std::set<std::uint32_t> colours;
  double brightness = 0.0;
  long count = 0;
  int greenish = 0;
  for (int y = 672; y < 768; y += 2) {
    for (int x = 0; x < 1024; x += 2) {
      const std::uint8_t* p = image->PixelAt(x, y);
      colours.insert(static_cast<std::uint32_t>(p[0] << 16 | p[1] << 8 | p[2]));
      brightness += (p[0] + p[1] + p[2]) / 3.0;
      greenish += p[1] > p[0] + 10 && p[1] > p[2] + 10;
      ++count;
    }
  }
  EXPECT_GT(colours.size(), 200u);
  const double mean = brightness / static_cast<double>(count);
  EXPECT_GT(mean, 30.0);
  EXPECT_LT(mean, 220.0);
  EXPECT_GT(greenish, 0);  // grass on the surface
}

TEST_F(ShotTest, FromAGivenPlaceItLooksTheGivenWay) {
  // High above everything, straight up: nothing but sky ...
  const auto up = Shoot({"--at", "-50", "300", "70", "--turn", "0", "90"});
  ASSERT_TRUE(up);
  EXPECT_EQ(GreyShare(*up, 0, 768), 1.0);
  // ... and straight down from just above the hills: ground everywhere.
  const auto down = Shoot({"--at", "-50", "140", "70", "--turn", "0", "-90"});
  ASSERT_TRUE(down);
  EXPECT_LT(GreyShare(*down, 0, 768), 0.001);
}

TEST_F(ShotTest, FarFromTheOriginChunksStillJoinWithoutCracks) {
  // Near the generator's last chunk, where single-precision world coordinates
  // are two blocks apart; a crack between chunks would show the sky's grey.
  const auto image = Shoot({"--at", "31999000", "140", "-31999000", "--turn", "0", "-90"});
  ASSERT_TRUE(image);
  EXPECT_LT(GreyShare(*image, 0, 768), 0.001);
}

TEST_F(ShotTest, BadArgumentsAreRefused) {
  for (const auto& args : {std::vector<std::string>{"shot", "--frames", "0"},
                           std::vector<std::string>{"shot", "--frames", "x"},
                           std::vector<std::string>{"shot", "--bogus"},
                           std::vector<std::string>{"shot", "--at", "1", "2"},
                           std::vector<std::string>{"shot", "--at", "0", "100", "nan"},
                           std::vector<std::string>{"shot", "--at", "33000000", "100", "0"},
                           std::vector<std::string>{"shot", "--turn", "0", "91"},
                           std::vector<std::string>{"shot", "--turn", "0.5", "0"}}) {
    std::vector<std::string> argv = {VX_VOXELTOOL};
    argv.insert(argv.end(), args.begin(), args.end());
    const TProcessResult result = RunProcess(argv, {});
    ExpectOneLineFailure(result, 2, "voxeltool shot: ");
  }
}

// The output cases (OutputCases.h): the first frame is a few kilobytes of PNG,
// past their file-size limit.
INSTANTIATE_TEST_SUITE_P(
    Shot, OutputTest, EveryOutputCase({{"shot", {"--frames", "1"}, "out.png", false, IsWholePng}}),
    OutputTestName);

}  // namespace
