#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "tools/Commands.h"

namespace {

struct TCommand {
  const char* Name;
  int (*Run)(const std::vector<std::string>&);
  const char* Usage;
};

constexpr TCommand kCommands[] = {
    {"atlas", RunAtlasCommand,
     "atlas [--out DIR]    paint Texture.png and AO.png into DIR (default .)"},
    {"blocks", RunBlocksCommand,
     "blocks               load ./Blocks.lua and list the block classes"},
    {"digest", RunDigestCommand, "digest X Z [X Z ...] hash the generated data of chunks"},
    {"bench", RunBenchCommand, "bench                time chunk generation and meshing"},
    {"shot", RunShotCommand,
     "shot [--frames N] [--out FILE.png]  run the viewer and save a screenshot"},
};

int Usage() {
  std::fputs("usage: voxeltool COMMAND [ARGS]\n", stderr);
  for (const TCommand& command : kCommands) std::fprintf(stderr, "  %s\n", command.Usage);
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) return Usage();
  const std::string name = argv[1];
  const std::vector<std::string> args(argv + 2, argv + argc);
  for (const TCommand& command : kCommands) {
    if (name == command.Name) {
      const int status = command.Run(args);
      // Worker threads may still exist: end without running static destructors.
      std::fflush(stdout);
      std::fflush(stderr);
      std::_Exit(status);
    }
  }
  return Usage();
}
