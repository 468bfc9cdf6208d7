#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>

#include "tests/support/TempDir.h"
#include "tests/support/ViewerProcess.h"

namespace {

// voxelview as a user runs it, in a working directory with the data files.
class ViewerProcessTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_NE(std::getenv("DISPLAY"), nullptr) << "needs an X display (run under xvfb-run)";
    Data.CopyAllData();
  }

  TTempDir Data;
};

TEST_F(ViewerProcessTest, EscapeEndsItWithStatusZero) {
  TViewerProcess viewer;
  ASSERT_TRUE(viewer.Start(Data.Path().string()));
  const std::string window = viewer.WaitForWindow();
  ASSERT_FALSE(window.empty());
  // Let it draw some frames and start on the chunks first.
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  ASSERT_TRUE(TViewerProcess::PressEscape(window));
  const TProcessResult result = viewer.Wait(10.0);
  EXPECT_FALSE(result.TimedOut);
  EXPECT_EQ(result.ExitCode, 0);
  EXPECT_EQ(result.Stderr, "");
}

TEST_F(ViewerProcessTest, ACloseRequestEndsItWithStatusZero) {
  TViewerProcess viewer;
  ASSERT_TRUE(viewer.Start(Data.Path().string()));
  const std::string window = viewer.WaitForWindow();
  ASSERT_FALSE(window.empty());
  ASSERT_TRUE(TViewerProcess::SendCloseRequest(window));
  const TProcessResult result = viewer.Wait(10.0);
  EXPECT_FALSE(result.TimedOut);
  EXPECT_EQ(result.ExitCode, 0);
  EXPECT_EQ(result.Stderr, "");
}

// Ends the viewer with `end` while all eight workers are building the initial
// chunks, 20 times in a row: each time it must be gone within a second of the
// request, with status 0, and leave nothing of its process group behind.
void EndWhileEveryWorkerIsBusy(const TTempDir& data, bool (*end)(const std::string& window)) {
  constexpr int kRuns = 20;
  constexpr int kWorkers = 8;
  for (int run = 0; run < kRuns; ++run) {
    SCOPED_TRACE("run " + std::to_string(run + 1));
    TViewerProcess viewer;
    ASSERT_TRUE(viewer.Start(data.Path().string()));
    const pid_t pid = viewer.Pid();
    const std::string window = viewer.WaitForWindow();
    ASSERT_FALSE(window.empty());

    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    int busy = 0;
    while ((busy = TViewerProcess::BusyWorkers(pid)) < kWorkers &&
           std::chrono::steady_clock::now() < deadline) {
      std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    ASSERT_EQ(busy, kWorkers) << "the workers never were all busy at once";

    ASSERT_TRUE(end(window));
    const auto sent = std::chrono::steady_clock::now();
    const TProcessResult result = viewer.Wait(10.0);
    const double afterRequest =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - sent).count();
    EXPECT_FALSE(result.TimedOut);
    EXPECT_EQ(result.Signal, 0);
    EXPECT_EQ(result.ExitCode, 0);
    EXPECT_EQ(result.Stderr, "");
    EXPECT_EQ(result.Stdout, "");
    EXPECT_LT(afterRequest, 1.0);
    EXPECT_FALSE(TViewerProcess::GroupExists(pid)) << "something of the viewer still runs";
    if (::testing::Test::HasFailure()) return;
  }
}

TEST_F(ViewerProcessTest, EscapeWhileEveryWorkerIsBusyEndsItAtOnceEveryTime) {
  EndWhileEveryWorkerIsBusy(Data, TViewerProcess::PressEscape);
}

TEST_F(ViewerProcessTest, ACloseRequestWhileEveryWorkerIsBusyEndsItAtOnceEveryTime) {
  EndWhileEveryWorkerIsBusy(Data, TViewerProcess::SendCloseRequest);
}

}  // namespace
