// Where voxeltool's commands take the block data from: the working directory's
// pack, else the data installed with the tool (tools/DataPack).
#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "gpu/Image.h"
#include "tests/support/InstalledTree.h"
#include "tests/support/Process.h"
#include "tests/support/TempDir.h"
#include "tools/DataPack.h"

namespace {

namespace fs = std::filesystem;

struct TSelectCase {
  const char* Name;
  void (*Prepare)(const TTempDir& working);
  bool Installed;       // whether there is installed data
  bool ReadsInstalled;  // the choice
};

const TSelectCase kSelectCases[] = {
    {"a pack of its own is read", [](const TTempDir& d) { d.Write("Blocks.lua", ""); }, true,
     false},
    {"a folder without Blocks.lua reads the installed data",
     [](const TTempDir& d) { d.Write("Texture.png", ""); }, true, true},
    {"without installed data the working directory is read", [](const TTempDir&) {}, false, false},
    // The user meant their own script: they get the viewer's error for it.
    {"a Blocks.lua that is a folder is still the user's",
     [](const TTempDir& d) { fs::create_directory(d.Path() / "Blocks.lua"); }, true, false},
    {"a Blocks.lua that is a dangling link is still the user's",
     [](const TTempDir& d) { fs::create_symlink(d / "gone.lua", d.Path() / "Blocks.lua"); }, true,
     false},
};

TEST(DataPackTest, ChoosesTheWorkingDirectorysPackFirst) {
  for (const TSelectCase& c : kSelectCases) {
    SCOPED_TRACE(c.Name);
    TTempDir working;
    c.Prepare(working);
    const fs::path installed = c.Installed ? fs::path("/opt/voxelview/share/voxelview") : "";
    EXPECT_EQ(TDataPack::Select(working.Path(), installed), c.ReadsInstalled ? installed : "");
  }
}

TEST(DataPackTest, TheInstalledDataLiesBesideTheProgramsFolder) {
  TTempDir prefix;
  const fs::path program = prefix.Path() / "bin" / "voxeltool";
  fs::create_directories(program.parent_path());
  // No pack there: as in a build that was never installed.
  EXPECT_EQ(TDataPack::InstalledFolder(program), "");
  fs::create_directories(prefix.Path() / "share" / "voxelview");
  EXPECT_EQ(TDataPack::InstalledFolder(program), "");
  prefix.Write("share/voxelview/Blocks.lua", "");
  EXPECT_EQ(TDataPack::InstalledFolder(program), prefix.Path() / "share" / "voxelview");
}

// The installed voxeltool, run in folders as a user would, against the build's
// own voxeltool run in a copy of the same data.
class InstalledToolTest : public ::testing::Test {
 protected:
  TProcessResult Run(const std::string& program, const fs::path& folder,
                     const std::vector<std::string>& args) {
    std::vector<std::string> argv = {program};
    argv.insert(argv.end(), args.begin(), args.end());
    TProcessOptions options;
    options.WorkingDirectory = folder.string();
    options.TimeoutSeconds = 120.0;
    return RunProcess(argv, options);
  }
  TProcessResult RunInstalled(const fs::path& folder, const std::vector<std::string>& args) {
    return Run(Tree / "bin/voxeltool", folder, args);
  }
  std::string Note(const std::string& command) const {
    return "voxeltool " + command +
           ": no Blocks.lua in the working directory: reading the data installed in " +
           (Tree.Prefix() / "share/voxelview").string() + "\n";
  }
  // The shipped script with sand instead of grass on top of the top soil.
  static void WriteOwnPack(const TTempDir& folder) {
    std::string script = ReadFileBytes(DataDir() / "Blocks.lua");
    const std::string grass = "Column(GRASS_TOP, GRASS_SIDE, DIRT)";
    const std::size_t at = script.find(grass);
    ASSERT_NE(at, std::string::npos);
    script.replace(at, grass.size(), "Column(SAND, GRASS_SIDE, DIRT)");
    folder.Write("Blocks.lua", script);
    folder.CopyData("Texture.png");
    folder.CopyData("AO.png");
  }

  TInstalledTree Tree;
  TTempDir Empty;
};

TEST_F(InstalledToolTest, BlocksListsTheInstalledScriptFromAnEmptyFolderAndSaysSo) {
  ASSERT_TRUE(Tree.Installed());
  TTempDir shipped;
  shipped.CopyAllData();
  const TProcessResult expected = Run(VX_VOXELTOOL, shipped.Path(), {"blocks"});
  ASSERT_EQ(expected.ExitCode, 0) << expected.Describe();

  const TProcessResult result = RunInstalled(Empty.Path(), {"blocks"});
  EXPECT_EQ(result.ExitCode, 0) << result.Describe();
  EXPECT_EQ(result.Stdout, expected.Stdout);
  EXPECT_EQ(result.Stderr, Note("blocks"));
}

TEST_F(InstalledToolTest, AFolderWithItsOwnScriptIsReadInstead) {
  ASSERT_TRUE(Tree.Installed());
  TTempDir own;
  WriteOwnPack(own);
  const TProcessResult expected = Run(VX_VOXELTOOL, own.Path(), {"blocks"});
  const TProcessResult installed = RunInstalled(Empty.Path(), {"blocks"});
  const TProcessResult result = RunInstalled(own.Path(), {"blocks"});
  EXPECT_EQ(result.ExitCode, 0) << result.Describe();
  EXPECT_EQ(result.Stderr, "");
  EXPECT_EQ(result.Stdout, expected.Stdout);
  EXPECT_NE(result.Stdout, installed.Stdout);
}

TEST_F(InstalledToolTest, MapDrawsWithTheDataOfTheFolderOrTheInstalledData) {
  ASSERT_TRUE(Tree.Installed());
  const std::vector<std::string> region = {"map", "--from", "0", "0", "--to", "0", "0", "--out"};
  const auto map = [&](const fs::path& folder, bool installed, const std::string& out) {
    std::vector<std::string> args = region;
    args.push_back(out);
    const TProcessResult result =
        installed ? RunInstalled(folder, args) : Run(VX_VOXELTOOL, folder, args);
    EXPECT_EQ(result.ExitCode, 0) << result.Describe();
    return std::make_pair(result.Stderr, TImage::LoadPng((folder / out).string()));
  };
  TTempDir shipped, own, out;
  shipped.CopyAllData();
  WriteOwnPack(own);

  // A relative --out is the working directory's, wherever the data comes from.
  const auto [fromEmptyNote, fromEmpty] = map(Empty.Path(), true, "empty.png");
  const auto [ownNote, ownMap] = map(own.Path(), true, out / "own.png");
  const auto [_, shippedByBuild] = map(shipped.Path(), false, out / "shipped.png");
  const auto [__, ownByBuild] = map(own.Path(), false, out / "own-build.png");
  ASSERT_TRUE(fromEmpty && ownMap && shippedByBuild && ownByBuild);
  EXPECT_EQ(fromEmptyNote, Note("map"));
  EXPECT_EQ(ownNote, "");
  EXPECT_EQ(fromEmpty->Pixels, shippedByBuild->Pixels);
  EXPECT_EQ(ownMap->Pixels, ownByBuild->Pixels);
  EXPECT_NE(ownMap->Pixels, fromEmpty->Pixels);
}

}  // namespace
