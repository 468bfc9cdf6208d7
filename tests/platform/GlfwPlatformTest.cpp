#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <functional>
#include <string>
#include <thread>

#include <GLFW/glfw3.h>

#include "platform/GlfwPlatform.h"
#include "tests/support/Process.h"
#include "tests/support/XInput.h"

namespace {

// The real platform with a visible window, driven from outside through X the
// way a user would (XTEST input, a window manager's close request).
class GlfwPlatformTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string error;
    ASSERT_TRUE(Platform.OpenWindow(320, 240, error)) << error;
    WindowId = TXInput::FindWindow(getpid(), TGlfwPlatform::WINDOW_TITLE, 20.0);
    ASSERT_FALSE(WindowId.empty()) << "window not shown";
    Settle();
  }

  void TearDown() override { EXPECT_EQ(TXInput::HeldKeys(), "") << "keys left down"; }

  // Processes window events until `done` holds or `seconds` pass.
  void Pump(const std::function<bool()>& done, double seconds = 5.0) {
    const auto until = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    while (!done() && std::chrono::steady_clock::now() < until) {
      Platform.WaitTimer();  // no timer yet: only processes events
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
  }

  // Returns once the platform has seen every event the server sent the
  // window so far: a close request sent now arrives after all of them, so
  // when it shows, nothing older can still be on its way.
  void Settle() {
    ASSERT_TRUE(TXInput::SendCloseRequest(WindowId));
    bool seen = false;
    Pump([&] { return seen = Platform.CloseRequested(); });
    ASSERT_TRUE(seen) << "the window never got the marker";
  }

  // Reads and drops the motion so far.
  void ForgetMotion() {
    Platform.MouseXMotion();
    Platform.MouseYMotion();
  }

  TGlfwPlatform Platform;
  std::string WindowId;
};

TEST_F(GlfwPlatformTest, EscapeHitsAreCountedSinceTheLastPoll) {
  ASSERT_TRUE(TXInput::PressKeys(WindowId, {"Escape", "Escape", "a", "Escape"}));
  int hits = 0;
  Pump([&] {
    hits += Platform.KeyHits(TPlatform::KEY_ESCAPE);
    return hits >= 3;
  });
  EXPECT_EQ(hits, 3);
  Settle();
  EXPECT_EQ(Platform.KeyHits(TPlatform::KEY_ESCAPE), 0);
  EXPECT_EQ(Platform.KeyHits('A'), 0);  // the program reads no other key
}

TEST_F(GlfwPlatformTest, ACloseRequestIsReportedOnceAndKeepsTheWindow) {
  EXPECT_FALSE(Platform.CloseRequested());
  ASSERT_TRUE(TXInput::SendCloseRequest(WindowId));
  bool requested = false;
  Pump([&] { return requested = Platform.CloseRequested(); });
  EXPECT_TRUE(requested);
  EXPECT_FALSE(Platform.CloseRequested());
  // The program decides when to end: the window is still there.
  EXPECT_FALSE(glfwWindowShouldClose(Platform.Window()));
}

TEST_F(GlfwPlatformTest, MouseMotionIsReadPerAxisAndResetByTheRead) {
  Platform.MoveMouse(100, 100);
  Settle();
  ForgetMotion();

  ASSERT_TRUE(TXInput::MovePointer(WindowId, 130, 90));
  int x = 0;
  Pump([&] { return (x += Platform.MouseXMotion()) == 30; });
  EXPECT_EQ(x, 30);
  // Reading X reset only X: the vertical motion is still there to read.
  EXPECT_EQ(Platform.MouseYMotion(), -10);
  EXPECT_EQ(Platform.MouseXMotion(), 0);
  EXPECT_EQ(Platform.MouseYMotion(), 0);
}

TEST_F(GlfwPlatformTest, MovingThePointerIsNotMotionAndMovesItsOrigin) {
  Platform.MoveMouse(300, 200);
  Settle();
  EXPECT_EQ(Platform.MouseXMotion(), 0);
  EXPECT_EQ(Platform.MouseYMotion(), 0);
  // Later motion counts from where the pointer was put.
  ASSERT_TRUE(TXInput::MovePointer(WindowId, 310, 195));
  int x = 0;
  Pump([&] { return (x += Platform.MouseXMotion()) == 10; });
  EXPECT_EQ(x, 10);
  EXPECT_EQ(Platform.MouseYMotion(), -5);
}

TEST_F(GlfwPlatformTest, TheSameMoveAfterEachRecentringIsMotionEveryTime) {
  // A steady mouse turn as the viewer sees it: every frame the pointer is put
  // back in the middle and the user moves it the same way again.
  for (int frame = 0; frame < 3; ++frame) {
    Platform.MoveMouse(160, 120);
    Settle();
    ForgetMotion();
    ASSERT_TRUE(TXInput::MovePointer(WindowId, 168, 117));
    int x = 0;
    Pump([&] { return (x += Platform.MouseXMotion()) == 8; });
    EXPECT_EQ(x, 8) << "frame " << frame;
    EXPECT_EQ(Platform.MouseYMotion(), -3) << "frame " << frame;
  }
}

TEST_F(GlfwPlatformTest, ThePointerEnteringTheWindowIsNotMotion) {
  // Out of the window (320 x 240 at the screen's corner), then back in far
  // from where it left: only the way it moves once inside is motion.
  Platform.MoveMouse(300, 200);
  ASSERT_TRUE(TXInput::MovePointerOnScreen(700, 600));
  Settle();
  ForgetMotion();
  ASSERT_TRUE(TXInput::MovePointerOnScreen(40, 30));
  Settle();
  EXPECT_EQ(Platform.MouseXMotion(), 0);
  EXPECT_EQ(Platform.MouseYMotion(), 0);
  ASSERT_TRUE(TXInput::MovePointer(WindowId, 45, 28));
  int x = 0;
  Pump([&] { return (x += Platform.MouseXMotion()) == 5; });
  EXPECT_EQ(x, 5);
  EXPECT_EQ(Platform.MouseYMotion(), -2);
}

TEST_F(GlfwPlatformTest, EachTimerWaitTakesANewTick) {
  Platform.CreateTimer(60.0);
  const auto start = std::chrono::steady_clock::now();
  for (int i = 0; i < 31; ++i) Platform.WaitTimer();
  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  // 31 waits need at least 30 tick intervals, whatever else the machine does.
  EXPECT_GE(seconds, 30.0 / 60.0 - 1e-3);
}

TEST(GlfwPlatformWithoutDisplay, OpenWindowSaysWhyItFailed) {
  // Run in a child so this process keeps its display.
  TProcessOptions options;
  options.Environment = {"DISPLAY=:9999"};
  options.TimeoutSeconds = 30.0;
  const TProcessResult result = RunProcess({VX_VOXELVIEW}, options);
  EXPECT_EQ(result.ExitCode, 255);
  EXPECT_EQ(result.Signal, 0);
  EXPECT_EQ(result.Stderr.rfind("voxelview: cannot", 0), 0u) << result.Stderr;
  EXPECT_EQ(result.Stdout, "");
}

}  // namespace
