#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>

#include "app/CameraControl.h"
#include "app/Program.h"
#include "app/Renderer.h"
#include "blocks/BlockClass.h"
#include "scene/Light.h"
#include "tests/app/ScriptedPlatform.h"
#include "tests/support/GlTest.h"
#include "tests/support/TempDir.h"
#include "tests/support/WorkingDirectory.h"
#include "world/Chunk.h"
#include "world/Noise.h"

namespace {

// The real start-up and frame loop, driven by a scripted platform, in a
// working directory holding the shipped data files.
class ProgramTest : public ::testing::Test {
 protected:
  void SetUp() override { Data.CopyAllData(); }

  static int VisibleChunks() {
    int visible = 0;
    for (const auto& mesh : TRenderRegistry::MeshList) {
      if (dynamic_cast<const TChunk*>(mesh.get()) && mesh->Hidden == 0) ++visible;
    }
    return visible;
  }

  TTempDir Data;
  TWorkingDirectory InData{Data.Path()};
  TScriptedPlatform Platform;
};

TEST_F(ProgramTest, EscapeBeforeTheFirstFrameEndsBeforeAnythingIsDrawn) {
  Platform.EscapeHits = {1};
  EXPECT_EQ(TProgram::Run(Platform), 0);
  EXPECT_TRUE(Platform.WindowOpened);
  EXPECT_EQ(TProgram::FramesDrawn, 0);
  EXPECT_EQ(Platform.Flips, 0);
  EXPECT_EQ(Platform.ClosePolls, 0);
}

TEST_F(ProgramTest, EscapeWinsOverACloseRequestInTheSameFrame) {
  Platform.EscapeHits = {0, 0, 1};
  Platform.CloseRequests = {false, false, true};
  EXPECT_EQ(TProgram::Run(Platform), 0);
  EXPECT_EQ(TProgram::FramesDrawn, 2);
  EXPECT_EQ(Platform.ClosePolls, 2);  // the third close request was never read
  EXPECT_EQ(Platform.CloseRequests.size(), 1u);
}

TEST_F(ProgramTest, ACloseRequestEndsTheLoop) {
  Platform.CloseRequests = {false, false, false, true};
  EXPECT_EQ(TProgram::Run(Platform), 0);
  EXPECT_EQ(TProgram::FramesDrawn, 3);
  EXPECT_EQ(Platform.Flips, 3);
  EXPECT_EQ(Platform.Waits, 3);
}

TEST_F(ProgramTest, RunsOnlyOnce) {
  Platform.EscapeHits = {1};
  EXPECT_EQ(TProgram::Run(Platform), 0);
  EXPECT_EQ(TProgram::Run(Platform), 0);
  EXPECT_EQ(Platform.KeyPolls, 1);
}

TEST_F(ProgramTest, StartupBuildsTheViewerInItsFixedState) {
  TProgram::Startup(Platform);

  EXPECT_EQ(TRenderer::ScreenWidth, 1024);
  EXPECT_EQ(TRenderer::ScreenHeight, 768);
  EXPECT_EQ(NoiseTables.size(), 20u);
  EXPECT_NE(TBlockClass::BlockClasses[1], nullptr);
  EXPECT_NE(TBlockClass::BlockTexture, nullptr);
  EXPECT_NE(TBlockClass::AOTexture, nullptr);
  EXPECT_FLOAT_EQ(TBlockClass::AOTileV[17], 0.0625f);

  ASSERT_NE(MainCamera, nullptr);
  EXPECT_EQ(TRenderRegistry::CurrentCamera, MainCamera);
  EXPECT_FLOAT_EQ(MainCamera->AOV, 60.0f);
  EXPECT_EQ(MainCamera->ViewportW, 1024);
  EXPECT_EQ(MainCamera->ViewportH, 768);
  EXPECT_FLOAT_EQ(MainCamera->ClsColor.X, 128.0f);
  EXPECT_FLOAT_EQ(MainCamera->DepthRangeMax, 500.0f);
  EXPECT_FLOAT_EQ(MainCamera->Position.Y, 100.0f);
  EXPECT_FLOAT_EQ(MainCamera->Position.X, 0.0f);

  EXPECT_FLOAT_EQ(TLight::AmbientColor.X, 180.0f);
  EXPECT_FLOAT_EQ(TLight::AmbientColor.Z, 160.0f);
  ASSERT_EQ(TRenderRegistry::LightList.size(), 1u);
  const TLight& sun = *TRenderRegistry::LightList[0];
  EXPECT_EQ(sun.Kind, TLight::KIND_DIRECTIONAL);
  EXPECT_FLOAT_EQ(sun.Color.Z, 128.0f);
  TMatrix4 rotation;
  rotation.RotZXY(45.0f, -30.0f, 0.0f);
  for (int i = 0; i < 16; ++i) EXPECT_FLOAT_EQ(sun.Rotation.A[i], rotation.A[i]);

  EXPECT_DOUBLE_EQ(Platform.TimerRate, 60.0);
  EXPECT_EQ(PendingChunks, 100);
  EXPECT_EQ(TRenderRegistry::MeshList.size(), 100u);
  EXPECT_EQ(Platform.PointerMoves, (std::vector<std::pair<int, int>>{{512, 384}}));
}

TEST_F(ProgramTest, ChunksAppearOnePerFrameAfterAGreyFirstFrame) {
  TPixel firstFrame;
  std::vector<int> visibleAtFlip;
  Platform.OnFlip = [&] {
    if (Platform.Flips == 1) firstFrame = ReadPixel(512, 384);
    visibleAtFlip.push_back(VisibleChunks());
    // Stop once all initial chunks are shown, or give up.
    if (visibleAtFlip.back() == 100 || Platform.Flips == 200000) Platform.EscapeHits.push_back(1);
  };
  EXPECT_EQ(TProgram::Run(Platform), 0);

  EXPECT_TRUE(Near(firstFrame, {128, 128, 128, 255}, 1)) << firstFrame;
  ASSERT_EQ(visibleAtFlip.back(), 100);
  for (std::size_t frame = 1; frame < visibleAtFlip.size(); ++frame) {
    EXPECT_LE(visibleAtFlip[frame] - visibleAtFlip[frame - 1], 1) << frame;
  }
  EXPECT_LE(PendingChunks, 0);
}

}  // namespace
