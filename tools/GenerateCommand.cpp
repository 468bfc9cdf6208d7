// voxeltool generate: GenerateData for every chunk of a region on all cores,
// and nothing else; the yardstick for the speed of the commands that build a
// region (map, export).
#include <CLI/CLI.hpp>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <memory>
#include <thread>
#include <vector>

#include "tools/ChunkRegion.h"
#include "tools/Commands.h"
#include "tools/JoiningThread.h"
#include "world/Chunk.h"
#include "world/Noise.h"

namespace {

int RunGenerate(const TChunkRegion& region) {
  const auto start = std::chrono::steady_clock::now();
  CreateNoiseTables();
  const unsigned threads = std::max(1u, std::thread::hardware_concurrency());
  // Each thread takes the next chunk until none is left: no order, no
  // hand-over, so nothing but generation is timed.
  std::atomic<long long> next = 0;
  {
    std::vector<TJoiningThread> workers;
    for (unsigned n = 0; n < threads; ++n) {
      workers.emplace_back([&] {
        for (long long c; (c = next++) < region.Count();) {
          const std::shared_ptr<TChunk> chunk =
              TChunk::NewUnregistered(static_cast<int>(region.X0 + c % region.Width()),
                                      static_cast<int>(region.Z0 + c / region.Width()));
          chunk->GenerateData();
        }
      });
    }
  }
  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  std::printf("%lld chunks generated in %.2f s on %u threads\n", region.Count(), seconds, threads);
  return 0;
}

}  // namespace

void AddGenerateCommand(CLI::App& tool, int& status) {
  CLI::App* command =
      tool.add_subcommand("generate", "time the generation of a region's chunk data");
  command->footer(
      "Generates every chunk of the region (blocks, heights, light: GenerateData) on all cores\n"
      "and throws it away; prints the count and the time. What map and export add to this is\n"
      "their own cost.");
  auto region = std::make_shared<TChunkRegion>();
  region->AddOptions(*command);
  command->callback([region, &status] {
    region->CheckOrder();
    status = RunGenerate(*region);
  });
}
