#include <CLI/CLI.hpp>

#include <cstdio>
#include <string>
#include <vector>

#include "tools/ChunkRegion.h"
#include "tools/Commands.h"
#include "world/Chunk.h"
#include "world/ChunkDigest.h"
#include "world/Noise.h"

namespace {

int RunDigest(const std::vector<int>& coordinates) {
  CreateNoiseTables();
  for (std::size_t n = 0; n < coordinates.size(); n += 2) {
    // Built exactly as a worker builds it, without the queues or a window.
    std::shared_ptr<TChunk> chunk = TChunk::NewUnregistered(coordinates[n], coordinates[n + 1]);
    chunk->GenerateData();
    chunk->BuildVertexData();
    std::printf("%d %d %s\n", chunk->ChunkX, chunk->ChunkZ, ChunkDigest(*chunk).c_str());
    // Each line as soon as its chunk is done: a long list shows progress.
    std::fflush(stdout);
  }
  return 0;
}

}  // namespace

void AddDigestCommand(CLI::App& tool, int& status) {
  CLI::App* command = tool.add_subcommand("digest", "print hashes of the generated data of chunks");
  command->footer(
      "Builds each chunk exactly as the viewer's workers do and prints one line per chunk:\n"
      "  X Z voxel=HASH height=HASH light=HASH faces=N\n"
      "with 64-bit FNV-1a hashes of its block IDs, heights and light. The lines must never\n"
      "change: they pin the world the viewer generates.");
  auto coordinates = std::make_shared<std::vector<int>>();
  command
      ->add_option("X Z", *coordinates,
                   "chunk grid coordinates, one pair per chunk, integers from " +
                       std::to_string(-TChunkRegion::MAX_COORDINATE) + " to " +
                       std::to_string(TChunkRegion::MAX_COORDINATE))
      ->required()
      ->check(TChunkRegion::Coordinate());
  command->callback([coordinates, &status] {
    if (coordinates->size() % 2 != 0)
      throw CLI::ValidationError("X Z", "coordinates come in pairs, X then Z");
    status = RunDigest(*coordinates);
  });
}
