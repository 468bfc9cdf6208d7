// The viewer as `cmake --install` lays it out: the launcher on the PATH starts
// it in the installed data, and the menu entry, its icon and the man pages are
// where a desktop and man look for them.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <optional>
#include <string>

#include "gpu/Image.h"
#include "tests/support/InstalledTree.h"
#include "tests/support/Process.h"
#include "tests/support/TempDir.h"
#include "tests/support/ViewerProcess.h"
#include "tests/support/XInput.h"

namespace {

namespace fs = std::filesystem;

bool IsExecutable(const fs::path& path) {
  struct stat info {};
  return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) && (info.st_mode & S_IXOTH);
}

TEST(InstalledViewerTest, EveryPartIsWhereItBelongs) {
  const TInstalledTree tree;
  ASSERT_TRUE(tree.Installed());
  for (const char* program : {"bin/voxelview", "bin/voxeltool", "libexec/voxelview/voxelview"})
    EXPECT_TRUE(IsExecutable(tree.Prefix() / program)) << program;
  for (const char* file :
       {"share/voxelview/Blocks.lua", "share/voxelview/Texture.png", "share/voxelview/AO.png",
        "share/applications/voxelview.desktop", "share/icons/hicolor/64x64/apps/voxelview.png",
        "share/man/man1/voxelview.1.gz", "share/man/man1/voxeltool.1.gz",
        "share/bash-completion/completions/voxeltool", "share/doc/voxelview/copyright",
        "share/doc/voxelview/changelog.gz"})
    EXPECT_TRUE(fs::is_regular_file(tree.Prefix() / file)) << file;
  for (const char* name : {"Blocks.lua", "Texture.png", "AO.png"})
    EXPECT_EQ(ReadFileBytes(tree.Prefix() / "share/voxelview" / name),
              ReadFileBytes(DataDir() / name))
        << name;
  // The icon fits the folder of its size.
  const std::optional<TImage> icon =
      TImage::LoadPng(tree / "share/icons/hicolor/64x64/apps/voxelview.png");
  ASSERT_TRUE(icon);
  EXPECT_EQ(icon->Width, 64);
  EXPECT_EQ(icon->Height, 64);
}

TEST(InstalledViewerTest, TheMenuEntryIsValid) {
  const TInstalledTree tree;
  ASSERT_TRUE(tree.Installed());
  const std::string entry = tree / "share/applications/voxelview.desktop";
  const TProcessResult result = RunProcess({VX_DESKTOP_FILE_VALIDATE, entry}, {});
  EXPECT_EQ(result.ExitCode, 0) << result.Describe();
  EXPECT_EQ(result.Stdout + result.Stderr, "");
  // It starts the command on the PATH and shows the installed icon.
  const std::string text = ReadFileBytes(entry);
  EXPECT_NE(text.find("\nExec=voxelview\n"), std::string::npos);
  EXPECT_NE(text.find("\nIcon=voxelview\n"), std::string::npos);
}

// The viewer ends with a script error if it does not find Blocks.lua in its
// working directory: started from an empty folder, it runs only if the
// launcher put it in the installed data.
TEST(InstalledViewerTest, TheLauncherStartsTheViewerInTheInstalledData) {
  const TInstalledTree tree;
  ASSERT_TRUE(tree.Installed());
  TTempDir empty;
  TViewerProcess viewer;
  ASSERT_TRUE(viewer.Start(empty.Path().string(), tree / "bin/voxelview"));
  const std::string window = viewer.WaitForWindow();
  ASSERT_FALSE(window.empty());
  ASSERT_TRUE(TViewerProcess::PressEscape(window));
  const TProcessResult result = viewer.Wait(10.0);
  EXPECT_FALSE(result.TimedOut);
  EXPECT_EQ(result.ExitCode, 0);
  EXPECT_EQ(result.Stderr, "");
  EXPECT_EQ(TXInput::HeldKeys(), "") << "keys left down";
}

}  // namespace
