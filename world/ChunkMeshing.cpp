#include <array>
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
constexpr int MirrorMask(int mask) {
  constexpr int kMirroredBit[8] = {2, 1, 0, 4, 3, 7, 6, 5};
  int mirrored = 0;
  for (int bit = 0; bit < 8; ++bit) {
    if ((mask >> bit) & 1) mirrored |= 1 << kMirroredBit[bit];
  }
  return mirrored;
}

const TFaceCorners& FaceCorners(int dx, int dy, int dz) {
  for (const TFaceCorners& face : kFaceCorners) {
    if (face.D.Dx == dx && face.D.Dy == dy && face.D.Dz == dz) return face;
  }
  return kFaceCorners[0];  // not reached for the six directions
}

// RenderBlockFaceIntoBuffer for all the faces of one chunk: the same records,
// with what depends only on the direction (corner offsets, face index) or only
// on the block ID (its class's tile) worked out once per chunk instead of once
// per face, and the mirrored masks from a table. Each offset is the product
// sign * size that RenderBlockFaceIntoBuffer forms, so x + offset is the same
// float; the block classes are read-only while chunks are built, so the tiles
// copied here stay current.
class TFaceWriter {
 public:
  TFaceWriter(const TChunk& chunk, float size) : Chunk(chunk) {
    for (int n = 0; n < 6; ++n) {
      const int* d = TVisibleFaces::DIRECTIONS[n];
      TKind& kind = Kinds[n];
      kind.Corners = &FaceCorners(d[0], d[1], d[2]);
      kind.Face =
          (d[0] == 1) * 1 + (d[2] == -1) * 2 + (d[2] == 1) * 3 + (d[1] == -1) * 4 + (d[1] == 1) * 5;
      for (int c = 0; c < 4; ++c) {
        for (int axis = 0; axis < 3; ++axis) {
          kind.Offset[c][axis] = static_cast<float>(kind.Corners->Corner[c][axis]) * size;
        }
      }
    }
    for (int id = 0; id < 256; ++id) {
      const TBlockClass& cls = TBlockClass::Lookup(id);
      for (int f = 0; f < 6; ++f) {
        TileU[id][f] = cls.FaceU[f];
        TileV[id][f] = cls.FaceV[f];
      }
    }
  }

  std::uint8_t* Write(std::uint8_t* buffer, int x, int y, int z, int direction) const {
    const TKind& kind = Kinds[direction];
    const TDirection& d = kind.Corners->D;
    const int id = Chunk.VoxelData[x + 2 + d.Dx][y + d.Dy][z + 2 + d.Dz];
    const float u0 = TileU[id][kind.Face];
    const float v0 = TileV[id][kind.Face];
    const float u1 = u0 + TBlockClass::FACE_STEP;
    const float v1 = v0 + TBlockClass::FACE_STEP;

    int mask =
        TBlockClass::GetAOConfiguration(Chunk.VoxelData, x + 2, y, z + 2, d.Dx, -d.Dy, -d.Dz);
    if (kind.Corners->MirroredTile) mask = kMirroredMask[mask & 255];
    const float a0 = TBlockClass::AOTileU[mask];
    const float b0 = TBlockClass::AOTileV[mask];
    const float a1 = a0 + TBlockClass::AO_STEP;
    const float b1 = b0 + TBlockClass::AO_STEP;

    const auto grey =
        static_cast<std::uint8_t>((kLightOffset + Chunk.Light[x + 2][y][z + 2]) % 256);
    const float nx = static_cast<float>(d.Dx);
    const float ny = static_cast<float>(d.Dy);
    const float nz = static_cast<float>(d.Dz);
    const float u[4] = {u0, u1, u1, u0};
    const float v[4] = {v0, v0, v1, v1};
    const float a[4] = {a0, a1, a1, a0};
    const float b[4] = {b0, b0, b1, b1};
    for (int c = 0; c < 4; ++c) {
      const float* offset = kind.Offset[c];
      buffer = Chunk.RenderVertexIntoBuffer(buffer, static_cast<float>(x) + offset[0],
                                            static_cast<float>(y) + offset[1],
                                            static_cast<float>(z) + offset[2], nx, ny, nz, u[c],
                                            v[c], 0.0f, grey, grey, grey, 255, a[c], b[c], 0.0f);
    }
    return buffer;
  }

 private:
  static constexpr auto kMirroredMask = [] {
    std::array<int, 256> table{};
    for (int mask = 0; mask < 256; ++mask) table[mask] = MirrorMask(mask);
    return table;
  }();

  struct TKind {
    const TFaceCorners* Corners;
    int Face;            // index into FaceU / FaceV
    float Offset[4][3];  // corner minus the open cell's centre: sign * size
  };

  const TChunk& Chunk;
  TKind Kinds[6];       // in the order of TVisibleFaces::DIRECTIONS
  float TileU[256][6];  // FaceU of the class of each ID
  float TileV[256][6];
};

}  // namespace

void TChunk::BuildVertexData() {
  const TVisibleFaces faces(VoxelData);
  VertexCount = 4 * faces.Count();
  VertexData.assign(static_cast<std::size_t>(VertexSize) * static_cast<std::size_t>(VertexCount),
                    0);

  const TFaceWriter writer(*this, kFaceHalfSize);
  std::uint8_t* p = VertexData.data();
  faces.ForEach(
      [&](int x, int y, int z, int direction) { p = writer.Write(p, x, y, z, direction); });
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
  for (const int* d : TVisibleFaces::DIRECTIONS) {
    if (VoxelData[x + 2 + d[0]][y + d[1]][z + 2 + d[2]] == 0) return 1;
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
