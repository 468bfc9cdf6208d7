#include "world/ChunkDigest.h"

#include <cinttypes>
#include <cstdio>

#include "world/Chunk.h"

std::uint64_t Fnv1a(const void* data, std::size_t size) {
  std::uint64_t hash = 0xcbf29ce484222325ull;
  const auto* bytes = static_cast<const std::uint8_t*>(data);
  for (std::size_t n = 0; n < size; ++n) {
    hash ^= bytes[n];
    hash *= 0x100000001b3ull;
  }
  return hash;
}

std::string ChunkDigest(const TChunk& chunk) {
  char text[96];
  std::snprintf(
      text, sizeof text, "voxel=%016" PRIx64 " height=%016" PRIx64 " light=%016" PRIx64 " faces=%d",
      Fnv1a(chunk.VoxelData, sizeof chunk.VoxelData), Fnv1a(chunk.Height, sizeof chunk.Height),
      Fnv1a(chunk.Light, sizeof chunk.Light), chunk.VertexCount / 4);
  return text;
}
