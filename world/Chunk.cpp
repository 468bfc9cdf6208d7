#include "world/Chunk.h"

TChunk::TChunk(TKey key) : TMesh(key) {
  // Skipped by the renderer until a worker has built it and the main thread
  // has uploaded it.
  Hidden = 1;
}

std::shared_ptr<TChunk> TChunk::New() {
  auto chunk = std::make_shared<TChunk>(TKey{});
  Register(chunk);
  return chunk;
}
