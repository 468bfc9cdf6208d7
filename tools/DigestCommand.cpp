#include <charconv>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "tools/Commands.h"
#include "world/Chunk.h"
#include "world/Noise.h"

namespace {

// Chunk coordinates beyond this keep (X + 1024) * 32 far from int overflow.
constexpr int kMaxChunkCoordinate = 1000000;

// FNV-1a, 64 bits.
std::uint64_t HashBytes(const void* data, std::size_t size) {
  std::uint64_t hash = 0xcbf29ce484222325ull;
  const auto* bytes = static_cast<const std::uint8_t*>(data);
  for (std::size_t n = 0; n < size; ++n) {
    hash ^= bytes[n];
    hash *= 0x100000001b3ull;
  }
  return hash;
}

bool ParseCoordinate(const std::string& text, int& value) {
  const char* end = text.data() + text.size();
  const auto [ptr, error] = std::from_chars(text.data(), end, value);
  return error == std::errc() && ptr == end && value >= -kMaxChunkCoordinate &&
         value <= kMaxChunkCoordinate;
}

int Usage() {
  std::fprintf(stderr,
               "usage: voxeltool digest X Z [X Z ...]\n"
               "  X, Z: chunk grid coordinates, integers from %d to %d\n",
               -kMaxChunkCoordinate, kMaxChunkCoordinate);
  return 2;
}

}  // namespace

int RunDigestCommand(const std::vector<std::string>& args) {
  if (args.empty() || args.size() % 2 != 0) return Usage();
  std::vector<int> coordinates(args.size());
  for (std::size_t n = 0; n < args.size(); ++n) {
    if (!ParseCoordinate(args[n], coordinates[n])) return Usage();
  }

  CreateNoiseTables();
  for (std::size_t n = 0; n < coordinates.size(); n += 2) {
    // Built exactly as a worker builds it, without the queues or a window.
    std::shared_ptr<TChunk> chunk = TChunk::New();
    chunk->ChunkX = coordinates[n];
    chunk->ChunkZ = coordinates[n + 1];
    chunk->GenerateData();
    chunk->BuildVertexData();
    std::printf(
        "%d %d voxel=%016llx height=%016llx light=%016llx faces=%d\n", chunk->ChunkX, chunk->ChunkZ,
        static_cast<unsigned long long>(HashBytes(chunk->VoxelData, sizeof chunk->VoxelData)),
        static_cast<unsigned long long>(HashBytes(chunk->Height, sizeof chunk->Height)),
        static_cast<unsigned long long>(HashBytes(chunk->Light, sizeof chunk->Light)),
        chunk->VertexCount / 4);
    // Each line as soon as its chunk is done: a long list shows progress.
    std::fflush(stdout);
  }
  return 0;
}
