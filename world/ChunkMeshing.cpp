#include <cstdint>
#include <vector>

#include "blocks/BlockClass.h"
#include "world/Chunk.h"
#include "world/VisibleFaces.h"

namespace {

// Half the edge of a face quad: a little over 0.5, so quads of neighbouring
// blocks overlap and no crack shows between them.
constexpr float kFaceHalfSize = 0.502f;
// Added to the open cell's light (0..185) to give the face's grey level.
constexpr int kLightOffset = 70;

struct TDirection {
  int Dx, Dy, Dz;
};

// The order in which each open cell looks for faces, and so the order of the
// faces of one open cell in the vertex data.
constexpr TDirection kFaceSearchOrder[6] = {{1, 0, 0},  {-1, 0, 0}, {0, 1, 0},
                                            {0, -1, 0}, {0, 0, 1},  {0, 0, -1}};

// One row per face direction d (from the open cell into the block): the four
// corners as signs of the half-size along x, y, z from the open cell's centre,
// clockwise as seen from the open cell. Corners 1..4 take the tile corners
// top-left, top-right, bottom-right, bottom-left.
struct TFaceCorners {
  TDirection D;
  int Corner[4][3];
  // Whether the tile's left column lands on the side of mask bits 2, 4, 7
  // rather than 0, 3, 5; its top row is always on the side of bits 0, 1, 2.
  bool MirroredTile;
};

constexpr TFaceCorners kFaceCorners[6] = {
    {{0, -1, 0}, {{1, -1, 1}, {-1, -1, 1}, {-1, -1, -1}, {1, -1, -1}}, false},
    {{0, 1, 0}, {{-1, 1, 1}, {1, 1, 1}, {1, 1, -1}, {-1, 1, -1}}, true},
    {{0, 0, -1}, {{-1, 1, -1}, {1, 1, -1}, {1, -1, -1}, {-1, -1, -1}}, false},
    {{0, 0, 1}, {{1, 1, 1}, {-1, 1, 1}, {-1, -1, 1}, {1, -1, 1}}, true},
    {{-1, 0, 0}, {{-1, 1, 1}, {-1, 1, -1}, {-1, -1, -1}, {-1, -1, 1}}, true},
    {{1, 0, 0}, {{1, 1, -1}, {1, 1, 1}, {1, -1, 1}, {1, -1, -1}}, false},
};

// The mask with its 3 x 3 grid flipped left to right: bits 0 <-> 2, 3 <-> 4,
// 5 <-> 7. AO.png paints tile m in reading order (bit 0 in the top-left
// corner), so a face whose tile lands mirrored must show the mirrored mask's
// tile for the shading to fall next to the solid cells.
int MirrorMask(int mask) {
  static constexpr int kMirroredBit[8] = {2, 1, 0, 4, 3, 7, 6, 5};
  int mirrored = 0;
  for (int bit = 0; bit < 8; ++bit) {
    if ((mask >> bit) & 1) mirrored |= 1 << kMirroredBit[bit];
  }
  return mirrored;
}

}  // namespace

void TChunk::BuildVertexData() {
  const TVisibleFaces faces(VoxelData);
  VertexCount = 4 * faces.Count();
  VertexData.assign(static_cast<std::size_t>(VertexSize) * static_cast<std::size_t>(VertexCount),
                    0);

  std::uint8_t* p = VertexData.data();
  faces.ForEach([&](int x, int y, int z, int direction) {
    const int* d = TVisibleFaces::DIRECTIONS[direction];
    p = RenderBlockFaceIntoBuffer(p, x, y, z, d[0], d[1], d[2], kFaceHalfSize);
  });
}

std::uint8_t* TChunk::RenderBlockFaceIntoBuffer(std::uint8_t* buffer, int x, int y, int z, int dx,
                                                int dy, int dz, float size) const {
  const TFaceCorners* face = nullptr;
  for (const TFaceCorners& candidate : kFaceCorners) {
    if (candidate.D.Dx == dx && candidate.D.Dy == dy && candidate.D.Dz == dz) {
      face = &candidate;
      break;
    }
  }
  if (!face) return buffer;

  // An ID without a class (the script forgot it) draws as the all-zero class.
  const TBlockClass& cls = TBlockClass::Lookup(VoxelData[x + 2 + dx][y + dy][z + 2 + dz]);
  const int f = (dx == 1) * 1 + (dz == -1) * 2 + (dz == 1) * 3 + (dy == -1) * 4 + (dy == 1) * 5;
  const float u0 = cls.FaceU[f];
  const float v0 = cls.FaceV[f];
  const float u1 = u0 + TBlockClass::FACE_STEP;
  const float v1 = v0 + TBlockClass::FACE_STEP;

  int mask = TBlockClass::GetAOConfiguration(VoxelData, x + 2, y, z + 2, dx, -dy, -dz);
  if (face->MirroredTile) mask = MirrorMask(mask);
  const float a0 = TBlockClass::AOTileU[mask];
  const float b0 = TBlockClass::AOTileV[mask];
  const float a1 = a0 + TBlockClass::AO_STEP;
  const float b1 = b0 + TBlockClass::AO_STEP;

  const auto grey = static_cast<std::uint8_t>((kLightOffset + Light[x + 2][y][z + 2]) % 256);
  const float nx = static_cast<float>(dx);
  const float ny = static_cast<float>(dy);
  const float nz = static_cast<float>(dz);

  // Tile corners top-left, top-right, bottom-right, bottom-left.
  const float u[4] = {u0, u1, u1, u0};
  const float v[4] = {v0, v0, v1, v1};
  const float a[4] = {a0, a1, a1, a0};
  const float b[4] = {b0, b0, b1, b1};
  for (int c = 0; c < 4; ++c) {
    const int* sign = face->Corner[c];
    const float px = static_cast<float>(x) + static_cast<float>(sign[0]) * size;
    const float py = static_cast<float>(y) + static_cast<float>(sign[1]) * size;
    const float pz = static_cast<float>(z) + static_cast<float>(sign[2]) * size;
    buffer = RenderVertexIntoBuffer(buffer, px, py, pz, nx, ny, nz, u[c], v[c], 0.0f, grey, grey,
                                    grey, 255, a[c], b[c], 0.0f);
  }
  return buffer;
}

int TChunk::IsVisibleFace(int x, int y, int z, int dx, int dy, int dz) const {
  return VoxelData[x + 2][y][z + 2] == 0 && VoxelData[x + 2 + dx][y + dy][z + 2 + dz] != 0 ? 1 : 0;
}

int TChunk::IsBoundaryBlock(int x, int y, int z) const {
  if (VoxelData[x + 2][y][z + 2] == 0) return 0;
  for (const TDirection& d : kFaceSearchOrder) {
    if (VoxelData[x + 2 + d.Dx][y + d.Dy][z + 2 + d.Dz] == 0) return 1;
  }
  return 0;
}

void TChunk::BuildMesh() {
  VBO = TVertexBufferObject::Create(TVertexBufferObject::KIND_VERTEX_BUFFER);
  VBO->Bind();
  VBO->SetUsage(TVertexBufferObject::USAGE_STATIC, TVertexBufferObject::USAGE_DRAW);
  VBO->BufferData(static_cast<std::int64_t>(VertexSize) * VertexCount, VertexData.data());
  std::vector<std::uint8_t>().swap(VertexData);

  SetTexture(TBlockClass::BlockTexture, 0);
  SetTexture(TBlockClass::AOTexture, 1);
  Locate(static_cast<float>(ChunkX * CHUNK_WIDTH), 0.0f, static_cast<float>(ChunkZ * CHUNK_DEPTH));
}
