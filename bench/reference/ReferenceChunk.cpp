#include "bench/reference/ReferenceChunk.h"

#include <cstdint>

#include "world/Terrain.h"
#include "world/TerrainShape.h"

namespace {

constexpr int kHeight = TChunk::CHUNK_HEIGHT;

void ComputeHeights(TChunk& chunk) {
  for (int k = 0; k < VOXEL_GRID_DEPTH; ++k) {
    for (int i = 0; i < VOXEL_GRID_WIDTH; ++i) {
      int y = kHeight - 1;
      while (y > 0 && chunk.VoxelData[i][y][k] == 0) --y;
      chunk.Height[i][k] = static_cast<std::uint8_t>(y);
    }
  }
}

void PlaceTopSoil(TChunk& chunk) {
  for (int k = 1; k < VOXEL_GRID_DEPTH - 1; ++k) {
    for (int i = 1; i < VOXEL_GRID_WIDTH - 1; ++i) {
      for (int y = kHeight - 1; y >= 1; --y) {
        std::uint8_t& block = chunk.VoxelData[i][y - 1][k];
        if (TerrainShape::IsExposedSurface(block, chunk.VoxelData[i][y][k])) {
          block = TerrainShape::TopSoilBlock(y);
        }
      }
    }
  }
}

void ComputeLight(TChunk& chunk) {
  for (int z = 0; z < TChunk::CHUNK_DEPTH; ++z) {
    for (int x = 0; x < TChunk::CHUNK_WIDTH; ++x) {
      const int h = chunk.Height[x + 2][z + 2];
      for (int y = 0; y < kHeight; ++y) {
        std::uint8_t& light = chunk.Light[x + 2][y][z + 2];
        if (y >= h) {
          light = TChunk::OPEN_SKY_LIGHT;
          continue;
        }
        for (int a = 0; a < 25; ++a) {
          if (chunk.Height[x + a % 5][z + a / 5] < y) light += TChunk::LIGHT_PER_LOWER_COLUMN;
        }
      }
    }
  }
}

struct TDirection {
  int Dx, Dy, Dz;
};
constexpr TDirection kSearchOrder[6] = {{1, 0, 0},  {-1, 0, 0}, {0, 1, 0},
                                        {0, -1, 0}, {0, 0, 1},  {0, 0, -1}};

// TChunk::IsVisibleFace, here so that it inlines as it would in one file.
bool IsVisibleFace(const TChunk& chunk, int x, int y, int z, const TDirection& d) {
  return chunk.VoxelData[x + 2][y][z + 2] == 0 &&
         chunk.VoxelData[x + 2 + d.Dx][y + d.Dy][z + 2 + d.Dz] != 0;
}

template <class TVisit>
void ForEachVisibleFace(const TChunk& chunk, TVisit&& visit) {
  for (int z = 0; z < TChunk::CHUNK_DEPTH; ++z) {
    for (int y = 1; y < kHeight - 1; ++y) {
      for (int x = 0; x < TChunk::CHUNK_WIDTH; ++x) {
        for (const TDirection& d : kSearchOrder) {
          if (IsVisibleFace(chunk, x, y, z, d)) visit(x, y, z, d);
        }
      }
    }
  }
}

}  // namespace

void ReferenceGenerateData(TChunk& chunk) {
  chunk.GenerateVoxels(GetTerrainBlock);
  ReferenceFinishData(chunk);
}

void ReferenceFinishData(TChunk& chunk) {
  ComputeHeights(chunk);
  PlaceTopSoil(chunk);
  ComputeLight(chunk);
}

void ReferenceBuildVertexData(TChunk& chunk) {
  int faces = 0;
  ForEachVisibleFace(chunk, [&](int, int, int, const TDirection&) { ++faces; });
  chunk.VertexCount = 4 * faces;
  chunk.VertexData.assign(
      static_cast<std::size_t>(chunk.VertexSize) * static_cast<std::size_t>(chunk.VertexCount), 0);
  std::uint8_t* p = chunk.VertexData.data();
  ForEachVisibleFace(chunk, [&](int x, int y, int z, const TDirection& d) {
    p = chunk.RenderBlockFaceIntoBuffer(p, x, y, z, d.Dx, d.Dy, d.Dz, TChunk::FACE_HALF_SIZE);
  });
}
