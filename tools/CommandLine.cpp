#include "tools/CommandLine.h"

#include <CLI/CLI.hpp>

#include "tools/Commands.h"

namespace {

constexpr const char* kDescription =
    "voxeltool: the viewer's world and data files from the command line.\n"
    "Commands that read the block data (blocks, map, export, shot) take Blocks.lua,\n"
    "Texture.png and AO.png from the working directory, as the viewer does, when it\n"
    "has a Blocks.lua; from any other folder they read the data installed with\n"
    "voxeltool, and say so. Blocks.lua is a Lua program run with all of Lua's\n"
    "standard libraries: run only scripts you trust.";

}  // namespace

void SetUpTool(CLI::App& tool, int& status) {
  tool.name("voxeltool");
  tool.description(kDescription);
  tool.require_subcommand(1);
  tool.fallthrough(false);
  AddAtlasCommand(tool, status);
  AddBlocksCommand(tool, status);
  AddDigestCommand(tool, status);
  AddBenchCommand(tool, status);
  AddShotCommand(tool, status);
  AddMapCommand(tool, status);
  AddExportCommand(tool, status);
  AddGenerateCommand(tool, status);
}
