#include <gtest/gtest.h>
#include <png.h>

#include <cstdint>
#include <string>
#include <vector>

#include "gpu/Image.h"
#include "tests/gpu/PngChunks.h"
#include "tests/gpu/PngFixture.h"
#include "tests/support/TempDir.h"

namespace {

using TBytes = std::vector<std::uint8_t>;

// A 9 x 7 pattern touches every pass of Adam7 interlacing with partial blocks.
constexpr int kPatternW = 9, kPatternH = 7;

TBytes RgbaPattern() {
  TBytes rgba;
  for (int y = 0; y < kPatternH; ++y) {
    for (int x = 0; x < kPatternW; ++x) {
      rgba.insert(rgba.end(),
                  {static_cast<std::uint8_t>(x * 28), static_cast<std::uint8_t>(y * 36),
                   static_cast<std::uint8_t>(x * y), static_cast<std::uint8_t>(255 - x)});
    }
  }
  return rgba;
}

struct TDecodeCase {
  std::string Name;
  TPngFixture Png;
  int Width;
  TBytes Expected;  // RGBA, rows from the top
};

TPngFixture Fixture(int type, int depth, int width, int height,
                    std::vector<std::uint16_t> samples) {
  TPngFixture png;
  png.ColorType = type;
  png.BitDepth = depth;
  png.Width = width;
  png.Height = height;
  png.Samples = std::move(samples);
  return png;
}

std::vector<TDecodeCase> DecodeCases() {
  std::vector<TDecodeCase> cases;
  cases.push_back({"Rgb",
                   Fixture(PNG_COLOR_TYPE_RGB, 8, 2, 1, {10, 20, 30, 200, 100, 0}),
                   2,
                   {10, 20, 30, 255, 200, 100, 0, 255}});
  {
    TPngFixture png = Fixture(PNG_COLOR_TYPE_RGB, 8, 2, 1, {10, 20, 30, 200, 100, 0});
    png.ColourKey = {{200, 100, 0}};
    cases.push_back({"RgbColourKey", png, 2, {10, 20, 30, 255, 200, 100, 0, 0}});
  }
  cases.push_back({"Rgba",
                   Fixture(PNG_COLOR_TYPE_RGB_ALPHA, 8, 2, 1, {1, 2, 3, 4, 250, 251, 252, 0}),
                   2,
                   {1, 2, 3, 4, 250, 251, 252, 0}});
  cases.push_back(
      {"Grey", Fixture(PNG_COLOR_TYPE_GRAY, 8, 2, 1, {0, 77}), 2, {0, 0, 0, 255, 77, 77, 77, 255}});
  cases.push_back({"GreyOneBit",
                   Fixture(PNG_COLOR_TYPE_GRAY, 1, 3, 1, {1, 0, 1}),
                   3,
                   {255, 255, 255, 255, 0, 0, 0, 255, 255, 255, 255, 255}});
  {
    TPngFixture png = Fixture(PNG_COLOR_TYPE_GRAY, 4, 2, 1, {15, 5});
    png.ColourKey = {{5, 0, 0}};
    cases.push_back({"GreyFourBitColourKey", png, 2, {255, 255, 255, 255, 85, 85, 85, 0}});
  }
  cases.push_back({"GreyAlpha",
                   Fixture(PNG_COLOR_TYPE_GRAY_ALPHA, 8, 2, 1, {50, 128, 200, 255}),
                   2,
                   {50, 50, 50, 128, 200, 200, 200, 255}});
  {
    TPngFixture png = Fixture(PNG_COLOR_TYPE_PALETTE, 8, 3, 1, {2, 0, 1});
    png.Palette = {{{255, 0, 0}}, {{0, 255, 0}}, {{0, 0, 255}}};
    cases.push_back({"Palette", png, 3, {0, 0, 255, 255, 255, 0, 0, 255, 0, 255, 0, 255}});
  }
  {
    // tRNS shorter than the palette: the entries past it stay opaque.
    TPngFixture png = Fixture(PNG_COLOR_TYPE_PALETTE, 2, 4, 1, {0, 1, 2, 2});
    png.Palette = {{{10, 20, 30}}, {{40, 50, 60}}, {{70, 80, 90}}};
    png.PaletteAlpha = {0, 128};
    cases.push_back({"PaletteTwoBitWithAlpha",
                     png,
                     4,
                     {10, 20, 30, 0, 40, 50, 60, 128, 70, 80, 90, 255, 70, 80, 90, 255}});
  }
  // 16-bit samples chosen so that dropping the low byte and rounding agree.
  cases.push_back(
      {"Rgb16",
       Fixture(PNG_COLOR_TYPE_RGB, 16, 2, 1, {0x1213, 0xABAC, 0xFFFF, 0, 0x7F80, 0x0101}),
       2,
       {0x12, 0xAB, 0xFF, 255, 0, 0x7F, 0x01, 255}});
  cases.push_back({"Rgba16",
                   Fixture(PNG_COLOR_TYPE_RGB_ALPHA, 16, 1, 1, {0x1213, 0x3435, 0x5657, 0x8081}),
                   1,
                   {0x12, 0x34, 0x56, 0x80}});
  cases.push_back(
      {"Grey16", Fixture(PNG_COLOR_TYPE_GRAY, 16, 1, 1, {0xC0C1}), 1, {0xC0, 0xC0, 0xC0, 255}});
  cases.push_back({"GreyAlpha16",
                   Fixture(PNG_COLOR_TYPE_GRAY_ALPHA, 16, 1, 1, {0x1011, 0xF0F1}),
                   1,
                   {0x10, 0x10, 0x10, 0xF0}});
  {
    TPngFixture png = RgbaPng(kPatternW, kPatternH, RgbaPattern());
    png.Interlaced = true;
    cases.push_back({"InterlacedRgba", png, kPatternW, RgbaPattern()});
  }
  {
    std::vector<std::uint16_t> samples;
    TBytes expected;
    for (int i = 0; i < kPatternW * kPatternH; ++i) {
      samples.push_back(static_cast<std::uint16_t>(i % 4));
      const auto grey = static_cast<std::uint8_t>(i % 4 * 85);
      expected.insert(expected.end(), {grey, grey, grey, 255});
    }
    TPngFixture png = Fixture(PNG_COLOR_TYPE_GRAY, 2, kPatternW, kPatternH, samples);
    png.Interlaced = true;
    cases.push_back({"InterlacedGreyTwoBit", png, kPatternW, expected});
  }
  return cases;
}

class DecodeTest : public ::testing::TestWithParam<TDecodeCase> {};

TEST_P(DecodeTest, GivesEightBitRgba) {
  const TDecodeCase& c = GetParam();
  const std::optional<TImage> image = TImage::DecodePng(c.Png.Encode());
  ASSERT_TRUE(image);
  EXPECT_EQ(image->Width, c.Width);
  EXPECT_EQ(image->Height, static_cast<int>(c.Expected.size()) / 4 / c.Width);
  EXPECT_EQ(image->Pixels, c.Expected);
}

INSTANTIATE_TEST_SUITE_P(ColourTypes, DecodeTest, ::testing::ValuesIn(DecodeCases()),
                         [](const auto& info) { return info.param.Name; });

TBytes SmallPng() {
  return RgbaPng(3, 2, TBytes(24, 90)).Encode();
}

// Decodes with standard output and standard error captured: libpng must neither
// print nor end the process.
std::optional<TImage> DecodeQuietly(const TBytes& bytes) {
  ::testing::internal::CaptureStdout();
  ::testing::internal::CaptureStderr();
  std::optional<TImage> image = TImage::DecodePng(bytes);
  const std::string out = ::testing::internal::GetCapturedStdout();
  const std::string err = ::testing::internal::GetCapturedStderr();
  EXPECT_EQ(out, "");
  EXPECT_EQ(err, "");
  return image;
}

struct TBadCase {
  std::string Name;
  TBytes Bytes;
};

std::vector<TBadCase> BadCases() {
  const TBytes good = SmallPng();
  std::vector<TBadCase> cases;
  cases.push_back({"Empty", {}});
  cases.push_back({"NotPng", TBytes{'h', 'e', 'l', 'l', 'o', ' ', 'w', 'o', 'r', 'l', 'd', '\n'}});
  cases.push_back({"SignatureOnly", TBytes(good.begin(), good.begin() + 8)});
  {
    const std::size_t idat = FindChunk(good, "IDAT");
    cases.push_back({"EndsAfterHeader", TBytes(good.begin(), good.begin() + idat)});
    cases.push_back({"EndsInsideImageData", TBytes(good.begin(), good.begin() + idat + 12)});
    cases.push_back({"NoEndChunk", TBytes(good.begin(), good.begin() + FindChunk(good, "IEND"))});
  }
  {
    TBytes bytes = good;
    bytes[FindChunk(bytes, "IHDR") + 8] ^= 0x01;  // width changes, CRC does not
    cases.push_back({"BadHeaderCrc", bytes});
  }
  {
    TBytes bytes = good;
    bytes[FindChunk(bytes, "IDAT") + 10] ^= 0x40;
    cases.push_back({"BadImageDataCrc", bytes});
  }
  {
    // Valid CRC over data that is not a zlib stream.
    TBytes bytes = good;
    const std::size_t idat = FindChunk(bytes, "IDAT");
    for (std::size_t i = idat + 8; i < idat + 12; ++i) bytes[i] = 0xFF;
    FixChunkCrc(bytes, idat);
    cases.push_back({"ImageDataNotDeflate", bytes});
  }
  for (const auto& [name, width] : {std::pair<std::string, std::uint32_t>{"ZeroWidth", 0},
                                    {"WidthAboveLimit", TImage::MAX_DIMENSION + 1}}) {
    TBytes bytes = good;
    const std::size_t ihdr = FindChunk(bytes, "IHDR");
    for (int i = 0; i < 4; ++i)
      bytes[ihdr + 8 + i] = static_cast<std::uint8_t>(width >> (24 - 8 * i));
    FixChunkCrc(bytes, ihdr);
    cases.push_back({name, bytes});
  }
  return cases;
}

class BadPngTest : public ::testing::TestWithParam<TBadCase> {};

TEST_P(BadPngTest, GivesNothingAndPrintsNothing) {
  EXPECT_FALSE(DecodeQuietly(GetParam().Bytes));
}

INSTANTIATE_TEST_SUITE_P(Inputs, BadPngTest, ::testing::ValuesIn(BadCases()),
                         [](const auto& info) { return info.param.Name; });

TEST(DecodePng, EveryTruncationIsRefused) {
  const TBytes good = SmallPng();
  ASSERT_TRUE(TImage::DecodePng(good));
  for (std::size_t length = 0; length < good.size(); ++length) {
    EXPECT_FALSE(DecodeQuietly(TBytes(good.begin(), good.begin() + length))) << length;
  }
}

TEST(DecodePng, EveryFlippedByteIsRefused) {
  const TBytes good = SmallPng();
  for (std::size_t at = 0; at < good.size(); ++at) {
    TBytes bytes = good;
    bytes[at] ^= 0xFF;
    EXPECT_FALSE(DecodeQuietly(bytes)) << at;
  }
}

TEST(LoadPng, MissingFileDirectoryOrEndlessDeviceGivesNothing) {
  TTempDir dir;
  EXPECT_FALSE(TImage::LoadPng(dir / "missing.png"));
  EXPECT_FALSE(TImage::LoadPng(dir.Path().string()));
  EXPECT_FALSE(TImage::LoadPng("/dev/zero"));  // read no further than the signature
}

TEST(SavePng, RoundTripsThroughLoadPng) {
  TTempDir dir;
  TImage image;
  image.Width = kPatternW;
  image.Height = kPatternH;
  image.Pixels = RgbaPattern();
  ASSERT_TRUE(image.SavePng(dir / "out.png"));
  const std::optional<TImage> loaded = TImage::LoadPng(dir / "out.png");
  ASSERT_TRUE(loaded);
  EXPECT_EQ(loaded->Width, kPatternW);
  EXPECT_EQ(loaded->Height, kPatternH);
  EXPECT_EQ(loaded->Pixels, image.Pixels);
}

TEST(SavePng, UnwritablePathGivesFalse) {
  TTempDir dir;
  TImage image;
  image.Width = 1;
  image.Height = 1;
  image.Pixels = {1, 2, 3, 4};
  EXPECT_FALSE(image.SavePng(dir / "no-such-dir/out.png"));
}

TImage MakeImage(int width, int height, TBytes rgba) {
  TImage image;
  image.Width = width;
  image.Height = height;
  image.Pixels = std::move(rgba);
  return image;
}

// The sanitizer builds keep asserts; a pixel outside the image must stop there.
TEST(PixelAt, APixelOutsideTheImageIsCaughtWhereAssertsAreOn) {
#ifdef NDEBUG
  GTEST_SKIP() << "asserts are compiled out of this build";
#else
  TImage image;
  image.Width = 3;
  image.Height = 2;
  image.Pixels.resize(3 * 2 * 4);
  EXPECT_DEATH(image.PixelAt(3, 0), "");
  EXPECT_DEATH(image.PixelAt(0, -1), "");
#endif
}

TEST(Resampled, ExactHalvingAveragesTwoByTwoBlocks) {
  // 4 x 2 -> 2 x 1: each output pixel is the mean of one 2 x 2 block.
  const TImage image =
      MakeImage(4, 2, {0,  0,  0,  0,   40, 8, 4,   255, 100, 0, 0, 0, 100, 0, 0, 0,
                       80, 16, 40, 255, 0,  0, 100, 255, 100, 0, 0, 0, 100, 0, 0, 0});
  const TImage half = image.Resampled(2, 1);
  EXPECT_EQ(half.Width, 2);
  EXPECT_EQ(half.Height, 1);
  EXPECT_EQ(half.Pixels, (TBytes{30, 6, 36, 191, 100, 0, 0, 0}));
}

TEST(Resampled, SameSizeKeepsThePixels) {
  const TImage image = MakeImage(kPatternW, kPatternH, RgbaPattern());
  EXPECT_EQ(image.Resampled(kPatternW, kPatternH).Pixels, image.Pixels);
}

TEST(Resampled, OnePixelDimensions) {
  EXPECT_EQ(MakeImage(2, 1, {10, 20, 30, 40, 30, 40, 50, 60}).Resampled(1, 1).Pixels,
            (TBytes{20, 30, 40, 50}));
  EXPECT_EQ(MakeImage(1, 2, {10, 20, 30, 40, 30, 40, 50, 60}).Resampled(1, 1).Pixels,
            (TBytes{20, 30, 40, 50}));
  EXPECT_EQ(MakeImage(1, 1, {1, 2, 3, 4}).Resampled(3, 2).Pixels,
            (TBytes{1, 2, 3, 4, 1, 2, 3, 4, 1, 2, 3, 4, 1, 2, 3, 4, 1, 2, 3, 4, 1, 2, 3, 4}));
  const TImage column =
      MakeImage(1, 4, {0, 0, 0, 0, 20, 20, 20, 20, 40, 40, 40, 40, 60, 60, 60, 60});
  EXPECT_EQ(column.Resampled(1, 2).Pixels, (TBytes{10, 10, 10, 10, 50, 50, 50, 50}));
}

TEST(Resampled, UniformImageStaysUniformAtAnySize) {
  const TImage image = MakeImage(5, 3, [] {
    TBytes rgba;
    for (int i = 0; i < 15; ++i) rgba.insert(rgba.end(), {17, 99, 200, 255});
    return rgba;
  }());
  for (const auto& [w, h] : {std::pair{1, 1}, {8, 4}, {2, 7}, {1, 16}, {64, 1}, {3, 2}}) {
    const TImage out = image.Resampled(w, h);
    ASSERT_EQ(out.Pixels.size(), static_cast<std::size_t>(w * h * 4));
    for (std::size_t i = 0; i < out.Pixels.size(); i += 4) {
      EXPECT_EQ(TBytes(out.Pixels.begin() + i, out.Pixels.begin() + i + 4),
                (TBytes{17, 99, 200, 255}))
          << w << " x " << h << " at " << i / 4;
    }
  }
}

// Level sizes under a driver that holds at most `limit` pixels a side: 0 refuses everything.
struct TLevelsCase {
  int Width, Height, Limit;
  std::vector<std::pair<int, int>> Sizes;
};

TEST(TextureLevels, HalvesUntilTheDriverAcceptsThenDownToOnePixel) {
  const TLevelsCase cases[] = {
      {48, 20, 8192, {{64, 32}, {32, 16}, {16, 8}, {8, 4}, {4, 2}, {2, 1}, {1, 1}}},
      {48, 20, 16, {{16, 8}, {8, 4}, {4, 2}, {2, 1}, {1, 1}}},
      {1, 300, 64, {{1, 64}, {1, 32}, {1, 16}, {1, 8}, {1, 4}, {1, 2}, {1, 1}}},
      {1, 1, 8192, {{1, 1}}},
      {5, 3, 1, {{1, 1}}},
      {5, 3, 0, {}},
  };
  for (const TLevelsCase& c : cases) {
    SCOPED_TRACE(std::to_string(c.Width) + " x " + std::to_string(c.Height) + " under " +
                 std::to_string(c.Limit));
    TBytes rgba;
    for (int i = 0; i < c.Width * c.Height; ++i) rgba.insert(rgba.end(), {17, 99, 200, 255});
    std::vector<std::pair<int, int>> asked;
    const std::vector<TImage> levels =
        TImage::TextureLevels(MakeImage(c.Width, c.Height, rgba), [&](int w, int h) {
          asked.emplace_back(w, h);
          return w <= c.Limit && h <= c.Limit;
        });
    std::vector<std::pair<int, int>> sizes;
    for (const TImage& level : levels) {
      sizes.emplace_back(level.Width, level.Height);
      ASSERT_EQ(level.Pixels.size(), static_cast<std::size_t>(level.Width * level.Height * 4));
      EXPECT_EQ(TBytes(level.Pixels.begin(), level.Pixels.begin() + 4), (TBytes{17, 99, 200, 255}));
    }
    EXPECT_EQ(sizes, c.Sizes);
    // The driver is asked only about level 0, from the largest size down.
    ASSERT_FALSE(asked.empty());
    EXPECT_EQ(asked.back(), levels.empty() ? std::make_pair(1, 1) : c.Sizes.front());
  }
}

TEST(CeilPowerOfTwo, SmallestPowerNotBelow) {
  for (const auto& [n, power] : {std::pair{1, 1},
                                 {2, 2},
                                 {3, 4},
                                 {20, 32},
                                 {48, 64},
                                 {64, 64},
                                 {65, 128},
                                 {8191, 8192},
                                 {8192, 8192}}) {
    EXPECT_EQ(TImage::CeilPowerOfTwo(n), power) << n;
  }
}

}  // namespace
