#include "tests/tools/RegionCommand.h"

#include <gtest/gtest.h>
#include <signal.h>

#include <chrono>
#include <filesystem>
#include <thread>

#include "tests/world/WorldFixtures.h"

namespace {

// What TTempDir::CopyAllData puts in a folder.
const std::set<std::string> kDataFiles = {"AO.png", "Blocks.lua", "Texture.png"};

}  // namespace

std::vector<std::string> RegionArguments(const std::string& command, const TRegion& r,
                                         const std::string& out) {
  return {VX_VOXELTOOL,
          command,
          "--from",
          std::to_string(r.X0),
          std::to_string(r.Z0),
          "--to",
          std::to_string(r.X1),
          std::to_string(r.Z1),
          "--out",
          out};
}

TProcessResult RunIn(const TTempDir& dir, const std::vector<std::string>& argv) {
  TProcessOptions options;
  options.WorkingDirectory = dir.Path().string();
  options.TimeoutSeconds = 120.0;
  return RunProcess(argv, options);
}

std::set<std::string> FileNames(const TTempDir& dir) {
  std::set<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(dir.Path()))
    names.insert(entry.path().filename().string());
  return names;
}

void ExpectRefusals(const std::string& command, const std::vector<TRefusal>& refusals) {
  for (const TRefusal& refusal : refusals) {
    TTempDir dir;
    dir.CopyAllData();
    std::vector<std::string> argv = {VX_VOXELTOOL, command};
    argv.insert(argv.end(), refusal.Args.begin(), refusal.Args.end());
    const TProcessResult result = RunIn(dir, argv);
    ExpectOneLineFailure(result, refusal.Status, refusal.Stderr, refusal.Exact);
    EXPECT_EQ(FileNames(dir), kDataFiles);
  }
}

void ExpectAnInterruptLeavesTheOldFile(const std::string& command, const TRegion& region,
                                       const std::string& out) {
  const std::string previous = "the previous " + out;
  for (const int signal : {SIGINT, SIGTERM, SIGHUP}) {
    SCOPED_TRACE(signal);
    TTempDir dir;
    dir.CopyAllData();
    dir.Write(out, previous);
    TChildProcess child;
    TProcessOptions options;
    options.WorkingDirectory = dir.Path().string();
    ASSERT_TRUE(child.Start(RegionArguments(command, region, out), options));
    // The tools write under a temporary name ending in .part.
    ASSERT_TRUE(WaitUntil([&] {
      for (const std::string& name : FileNames(dir)) {
        if (std::filesystem::path(name).extension() == ".part") return true;
      }
      return false;
    }));
    // Into its work a little further, so the signal meets it writing.
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    kill(child.Pid(), signal);
    const TProcessResult result = child.Wait(60.0);
    EXPECT_EQ(result.Signal, signal) << result.Stderr;
    std::set<std::string> expected = kDataFiles;
    expected.insert(out);
    EXPECT_EQ(FileNames(dir), expected);
    EXPECT_EQ(ReadFileBytes(dir / out), previous);
  }
}
