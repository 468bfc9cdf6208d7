#pragma once

#include <filesystem>
#include <string>

// Where the commands that read the block data (blocks, map, export, shot) find
// it. A folder with a Blocks.lua in it is a pack. The working directory's pack
// comes first, as the viewer started there would read it; without one, the
// data installed with voxeltool (share/voxelview beside its bin/) is read, and
// the command says so on standard error; without that either (a build that was
// never installed), the working directory is read all the same, with the
// viewer's errors.
class TDataPack {
 public:
  // The folder to read the data from: "" for the working directory, or the
  // installed folder. `working` is the working directory, `installed` the
  // installed data folder or "" when there is none.
  static std::filesystem::path Select(const std::filesystem::path& working,
                                      const std::filesystem::path& installed);
  // The data folder installed with the program whose file is `program`
  // (bin/voxeltool: share/voxelview), or "" if it holds no pack.
  static std::filesystem::path InstalledFolder(const std::filesystem::path& program);
  // Selects for this process and points TDataFolder there; when that is the
  // installed data, says so on standard error, after `command` and a colon.
  static void Use(const std::string& command);
};
