#include <GL/glew.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "gpu/Texture2D.h"
#include "tests/gpu/PngChunks.h"
#include "tests/gpu/PngFixture.h"
#include "tests/support/GlTest.h"
#include "tests/support/TempDir.h"

namespace {

using TBytes = std::vector<std::uint8_t>;

class Texture2DTest : public GlTest {
 protected:
  TTempDir Dir;

  std::string WritePng(const std::string& name, const TPngFixture& png) {
    WriteFile(Dir / name, png.Encode());
    return Dir / name;
  }

  std::string WriteGrey(const std::string& name, int width, int height) {
    return WritePng(
        name, RgbaPng(width, height, TBytes(static_cast<std::size_t>(width) * height * 4, 128)));
  }
};

std::pair<GLint, GLint> LevelSize(int level) {
  GLint width = -1, height = -1;
  glGetTexLevelParameteriv(GL_TEXTURE_2D, level, GL_TEXTURE_WIDTH, &width);
  glGetTexLevelParameteriv(GL_TEXTURE_2D, level, GL_TEXTURE_HEIGHT, &height);
  return {width, height};
}

TEST_F(Texture2DTest, PowerOfTwoSizedMipmapChain) {
  struct TCase {
    int Width, Height;
    std::vector<std::pair<GLint, GLint>> Levels;
  };
  const TCase cases[] = {
      {256,
       256,
       {{256, 256}, {128, 128}, {64, 64}, {32, 32}, {16, 16}, {8, 8}, {4, 4}, {2, 2}, {1, 1}}},
      {48, 20, {{64, 32}, {32, 16}, {16, 8}, {8, 4}, {4, 2}, {2, 1}, {1, 1}}},
      {1, 5, {{1, 8}, {1, 4}, {1, 2}, {1, 1}}},
  };
  for (const TCase& c : cases) {
    const std::string label = std::to_string(c.Width) + " x " + std::to_string(c.Height);
    const std::string path = WriteGrey(label + ".png", c.Width, c.Height);
    const auto texture = TTexture2D::Load(path);
    ASSERT_TRUE(texture) << label;
    EXPECT_EQ(texture->Width, c.Width) << label;
    EXPECT_EQ(texture->Height, c.Height) << label;
    EXPECT_EQ(texture->Path, path) << label;
    ASSERT_NE(texture->GLName, 0) << label;

    glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(texture->GLName));
    for (std::size_t level = 0; level < c.Levels.size(); ++level) {
      EXPECT_EQ(LevelSize(static_cast<int>(level)), c.Levels[level]) << label << " level " << level;
      GLint format = 0;
      glGetTexLevelParameteriv(GL_TEXTURE_2D, static_cast<int>(level), GL_TEXTURE_INTERNAL_FORMAT,
                               &format);
      EXPECT_EQ(format, GL_RGBA8) << label << " level " << level;
    }
    EXPECT_EQ(LevelSize(static_cast<int>(c.Levels.size())).first, 0)
        << label << ": one level too many";
    EXPECT_EQ(TakeGlError(), static_cast<unsigned>(GL_NO_ERROR)) << label;
  }
}

TEST_F(Texture2DTest, LoadRestoresBindingAndRowLength) {
  GLuint previous = 0;
  glGenTextures(1, &previous);
  glBindTexture(GL_TEXTURE_2D, previous);
  glPixelStorei(GL_UNPACK_ROW_LENGTH, 5);

  const auto texture = TTexture2D::Load(WriteGrey("a.png", 48, 20));
  ASSERT_TRUE(texture);
  EXPECT_NE(static_cast<GLuint>(texture->GLName), previous);
  EXPECT_EQ(GlInteger(GL_TEXTURE_BINDING_2D), static_cast<GLint>(previous));
  EXPECT_EQ(GlInteger(GL_UNPACK_ROW_LENGTH), 5);
  EXPECT_EQ(TakeGlError(), static_cast<unsigned>(GL_NO_ERROR));
}

TEST_F(Texture2DTest, UnreadableImageGivesNullQuietlyAndLeavesStateAlone) {
  const TBytes good = RgbaPng(4, 4, TBytes(64, 7)).Encode();
  TBytes badCrc = good;
  badCrc[FindChunk(badCrc, "IDAT") + 9] ^= 0x10;
  std::vector<std::pair<std::string, std::string>> paths = {{"missing", Dir / "missing.png"},
                                                            {"directory", Dir.Path().string()}};
  for (const auto& [name, bytes] :
       {std::pair<std::string, TBytes>{"empty", {}},
        {"text", TBytes{'n', 'o', 't', ' ', 'p', 'n', 'g'}},
        {"truncated", TBytes(good.begin(), good.begin() + static_cast<long>(good.size()) / 2)},
        {"corrupt", badCrc}}) {
    WriteFile(Dir / (name + ".png"), bytes);
    paths.emplace_back(name, Dir / (name + ".png"));
  }

  GLuint previous = 0;
  glGenTextures(1, &previous);
  glBindTexture(GL_TEXTURE_2D, previous);
  glPixelStorei(GL_UNPACK_ROW_LENGTH, 3);
  for (const auto& [name, path] : paths) {
    ::testing::internal::CaptureStdout();
    ::testing::internal::CaptureStderr();
    const auto texture = TTexture2D::Load(path);
    EXPECT_EQ(::testing::internal::GetCapturedStdout(), "") << name;
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "") << name;
    EXPECT_FALSE(texture) << name;
    EXPECT_EQ(GlInteger(GL_TEXTURE_BINDING_2D), static_cast<GLint>(previous)) << name;
    EXPECT_EQ(GlInteger(GL_UNPACK_ROW_LENGTH), 3) << name;
    EXPECT_EQ(TakeGlError(), static_cast<unsigned>(GL_NO_ERROR)) << name;
  }
}

TEST_F(Texture2DTest, SetStateBindsTheNameAndUnsetStateBindsZero) {
  const auto loaded = TTexture2D::Load(WriteGrey("a.png", 2, 2));
  ASSERT_TRUE(loaded);
  loaded->SetState();
  EXPECT_EQ(GlInteger(GL_TEXTURE_BINDING_2D), loaded->GLName);
  loaded->UnsetState();
  EXPECT_EQ(GlInteger(GL_TEXTURE_BINDING_2D), 0);

  loaded->SetState();
  const auto empty = TTexture2D::New();
  EXPECT_EQ(empty->GLName, 0);
  EXPECT_EQ(empty->Path, "");
  empty->SetState();
  EXPECT_EQ(GlInteger(GL_TEXTURE_BINDING_2D), 0);
}

TBytes LevelPixels(int level, int width, int height) {
  TBytes pixels(static_cast<std::size_t>(width) * height * 4, 0xEE);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glGetTexImage(GL_TEXTURE_2D, level, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
  return pixels;
}

TEST_F(Texture2DTest, LevelsHoldTheImageAndItsHalvings) {
  // 4 x 2, rows from the top; the upload keeps the file's row order.
  const TBytes image = {0,  0,  0,  0,   40, 8, 4,   255, 100, 0, 0, 0, 100, 0, 0, 0,
                        80, 16, 40, 255, 0,  0, 100, 255, 100, 0, 0, 0, 100, 0, 0, 0};
  const auto texture = TTexture2D::Load(WritePng("a.png", RgbaPng(4, 2, image)));
  ASSERT_TRUE(texture);
  glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(texture->GLName));
  EXPECT_EQ(LevelPixels(0, 4, 2), image);
  EXPECT_EQ(LevelPixels(1, 2, 1), (TBytes{30, 6, 36, 191, 100, 0, 0, 0}));
  const TBytes last = LevelPixels(2, 1, 1);
  EXPECT_EQ(last[0], 65);
  EXPECT_NEAR(last[3], 96, 1);
}

}  // namespace
