#include <gtest/gtest.h>

#include <GL/glew.h>

#include <filesystem>

#include "blocks/BlockClass.h"
#include "tests/support/GlTest.h"
#include "tests/support/TempDir.h"
#include "tests/support/WorkingDirectory.h"

namespace {

// Runs TBlockClass::Init with a working directory holding only `files`.
class BlockTexturesTest : public GlTest {
 protected:
  void InitIn(std::initializer_list<const char*> files) {
    for (const char* file : files) Dir.CopyData(file);
    const TWorkingDirectory inDir(Dir.Path());
    TBlockClass::Init();
  }
  void TearDown() override {
    TBlockClass::BlockTexture.reset();
    TBlockClass::AOTexture.reset();
    GlTest::TearDown();
  }
  TTempDir Dir;
};

TEST_F(BlockTexturesTest, WithoutTheFaceAtlasStartUpGoesOnWithoutIt) {
  InitIn({"AO.png"});
  EXPECT_EQ(TBlockClass::BlockTexture, nullptr);
  ASSERT_NE(TBlockClass::AOTexture, nullptr);
  EXPECT_EQ(glIsTexture(static_cast<GLuint>(TBlockClass::AOTexture->GLName)), GL_TRUE);
  EXPECT_EQ(TBlockClass::AOTexture->Width, 512);
  EXPECT_EQ(TBlockClass::AOTileU[255], 15.0f / 16);
  EXPECT_EQ(TBlockClass::AOTileV[255], 15.0f / 16);
  EXPECT_EQ(TakeGlError(), static_cast<unsigned>(GL_NO_ERROR));
}

TEST_F(BlockTexturesTest, ShippedAtlasesLoad) {
  InitIn({"Texture.png", "AO.png"});
  ASSERT_NE(TBlockClass::BlockTexture, nullptr);
  ASSERT_NE(TBlockClass::AOTexture, nullptr);
  EXPECT_EQ(TBlockClass::BlockTexture->Width, 256);
  EXPECT_EQ(TBlockClass::BlockTexture->Height, 256);
  EXPECT_EQ(TBlockClass::AOTexture->Height, 512);
}

}  // namespace
