#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <string>
#include <thread>

#include "tests/support/TempDir.h"
#include "tests/support/ViewerProcess.h"
#include "tests/support/XInput.h"

namespace {

double SecondsSince(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// Polls until at least `count` workers of the viewer are busy at once: false,
// with a test failure, if that never happens or the viewer ends first.
bool WaitForBusyWorkers(TViewerProcess& viewer, int count) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
  int busy = 0;
  while ((busy = TViewerProcess::BusyWorkers(viewer.Pid())) < count) {
    if (viewer.EndedEarly()) return false;
    if (std::chrono::steady_clock::now() > deadline) {
      ADD_FAILURE() << "never " << count << " busy workers at once";
      return false;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
  return true;
}

// voxelview as a user runs it, in a working directory with the data files.
class ViewerProcessTest : public ::testing::Test {
 protected:
  void SetUp() override { Data.CopyAllData(); }
  void TearDown() override { EXPECT_EQ(TXInput::HeldKeys(), "") << "keys left down"; }

  TTempDir Data;
};

TEST_F(ViewerProcessTest, EscapeEndsItWithStatusZero) {
  TViewerProcess viewer;
  ASSERT_TRUE(viewer.Start(Data.Path().string()));
  const std::string window = viewer.WaitForWindow();
  ASSERT_FALSE(window.empty());
  // Escape in the middle of things: once the workers are on the first chunks.
  ASSERT_TRUE(WaitForBusyWorkers(viewer, 1));
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
// chunks, 20 times in a row: each time it must end at once, with status 0,
// and leave nothing of its process group behind.
//
// At once: the viewer calls exit within a second of the request on a machine
// with cores to spare. On a busy one everything the viewer does slows alike,
// so it may take up to twice what its own start-up took just before. The
// workers' threads, niced below everything else, may need longer still to be
// scheduled out of the world; the process as a whole only has to be gone
// before the deadline that tells a hang.
void EndWhileEveryWorkerIsBusy(const TTempDir& data, bool (*end)(const std::string& window)) {
  constexpr int kRuns = 20;
  constexpr int kWorkers = 8;
  for (int run = 0; run < kRuns; ++run) {
    SCOPED_TRACE("run " + std::to_string(run + 1));
    TViewerProcess viewer;
    const auto started = std::chrono::steady_clock::now();
    ASSERT_TRUE(viewer.Start(data.Path().string()));
    const pid_t pid = viewer.Pid();
    const std::string window = viewer.WaitForWindow();
    ASSERT_FALSE(window.empty());
    ASSERT_TRUE(WaitForBusyWorkers(viewer, kWorkers));
    const double startup = SecondsSince(started);

    ASSERT_TRUE(end(window));
    const auto sent = std::chrono::steady_clock::now();
    const double allowed = std::max(1.0, 2.0 * startup);
    while (!TViewerProcess::MainThreadEnded(pid) && SecondsSince(sent) < allowed) {
      std::this_thread::sleep_for(std::chrono::microseconds(500));
    }
    const double untilExit = SecondsSince(sent);
    const TProcessResult result = viewer.Wait(10.0);
    EXPECT_LT(untilExit, allowed) << "start-up took " << startup << " s";
    EXPECT_FALSE(result.TimedOut);
    EXPECT_EQ(result.Signal, 0);
    EXPECT_EQ(result.ExitCode, 0);
    EXPECT_EQ(result.Stderr, "");
    EXPECT_EQ(result.Stdout, "");
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
