#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>

#include "tests/support/Process.h"
#include "tests/support/TempDir.h"

namespace {

// voxelview as a user runs it, in a working directory with the data files,
// under the test's X display.
class ViewerProcessTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_NE(std::getenv("DISPLAY"), nullptr) << "needs an X display (run under xvfb-run)";
    Data.CopyAllData();
    TProcessOptions options;
    options.WorkingDirectory = Data.Path().string();
    ASSERT_TRUE(Viewer.Start({VX_VOXELVIEW}, options));
  }

  // The X id of the viewer's window, once it is mapped; empty if it never is.
  // Found by process id: other tests may run viewers on the same display.
  std::string WaitForWindow() const {
    TProcessOptions options;
    options.TimeoutSeconds = 30.0;
    const TProcessResult found =
        RunProcess({"/usr/bin/xdotool", "search", "--sync", "--onlyvisible", "--pid",
                    std::to_string(Viewer.Pid()), "--name", "^voxelview$"},
                   options);
    const std::string& out = found.Stdout;
    return out.substr(0, out.find('\n'));
  }

  // Focus first: xdotool delivers keys to the focused window through XTEST.
  static void PressEscape(const std::string& window) {
    Xdotool({"windowfocus", "--sync", window});
    Xdotool({"key", "--window", window, "Escape"});
  }

  static void Xdotool(const std::vector<std::string>& args) {
    std::vector<std::string> argv = {"/usr/bin/xdotool"};
    argv.insert(argv.end(), args.begin(), args.end());
    TProcessOptions options;
    options.TimeoutSeconds = 10.0;
    ASSERT_EQ(RunProcess(argv, options).ExitCode, 0);
  }

  TTempDir Data;
  TChildProcess Viewer;
};

TEST_F(ViewerProcessTest, EscapeEndsItWithStatusZero) {
  const std::string window = WaitForWindow();
  ASSERT_FALSE(window.empty());
  // Let it draw some frames and start on the chunks first.
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  PressEscape(window);
  const TProcessResult result = Viewer.Wait(10.0);
  EXPECT_FALSE(result.TimedOut);
  EXPECT_EQ(result.ExitCode, 0);
  EXPECT_EQ(result.Stderr, "");
}

TEST_F(ViewerProcessTest, ACloseRequestEndsItWithStatusZero) {
  const std::string window = WaitForWindow();
  ASSERT_FALSE(window.empty());
  TProcessOptions options;
  options.TimeoutSeconds = 10.0;
  ASSERT_EQ(RunProcess({VX_SEND_CLOSE_REQUEST, window}, options).ExitCode, 0);
  const TProcessResult result = Viewer.Wait(10.0);
  EXPECT_FALSE(result.TimedOut);
  EXPECT_EQ(result.ExitCode, 0);
  EXPECT_EQ(result.Stderr, "");
}

TEST_F(ViewerProcessTest, EscapeWhileWorkersAreBusyEndsItAtOnce) {
  const std::string window = WaitForWindow();
  ASSERT_FALSE(window.empty());
  // The hundred initial chunks keep all eight workers busy for a while.
  PressEscape(window);
  const auto pressed = std::chrono::steady_clock::now();
  const TProcessResult result = Viewer.Wait(10.0);
  const double afterKey = std::chrono::duration<double>(std::chrono::steady_clock::now() - pressed).count();
  EXPECT_FALSE(result.TimedOut);
  EXPECT_EQ(result.ExitCode, 0);
  EXPECT_EQ(result.Stderr, "");
  EXPECT_LT(afterKey, 1.0);
}

}  // namespace
