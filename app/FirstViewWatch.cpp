#include "app/FirstViewWatch.h"

#include "app/CameraControl.h"
#include "scene/RenderRegistry.h"
#include "world/Chunk.h"

TFirstViewWatch::TFirstViewWatch() : InitialChunkCount_(InitialChunks(ViewRadius).size()) {}

bool TFirstViewWatch::FrameIsFull() {
  const bool full = AllVisibleAtLastFlip_;
  AllVisibleAtLastFlip_ = VisibleChunks() >= InitialChunkCount_;
  return full;
}

std::size_t TFirstViewWatch::VisibleChunks() {
  std::size_t visible = 0;
  for (const auto& mesh : TRenderRegistry::MeshList) {
    if (mesh->Hidden == 0 && dynamic_cast<const TChunk*>(mesh.get())) ++visible;
  }
  return visible;
}
