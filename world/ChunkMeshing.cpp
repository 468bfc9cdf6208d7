#include <array>
#include <cstdint>
#include <vector>

#include "blocks/BlockClass.h"
#include "world/Chunk.h"
#include "world/VisibleFaces.h"

namespace {

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

constexpr auto kMirroredMask = [] {
  std::array<int, 256> table{};
  for (int mask = 0; mask < 256; ++mask) table[mask] = MirrorMask(mask);
  return table;
}();

// The corners of the face seen in direction (dx, dy, dz), or null for a
// direction that is not one of the six.
const TFaceCorners* FindFaceCorners(int dx, int dy, int dz) {
  for (const TFaceCorners& face : kFaceCorners) {
    if (face.D.Dx == dx && face.D.Dy == dy && face.D.Dz == dz) return &face;
  }
  return nullptr;
}

// The index into FaceU / FaceV of the block face seen in direction d: the
// face of the block that looks back at the open cell.
int FaceIndex(int dx, int dy, int dz) {
  return (dx == 1) * 1 + (dz == -1) * 2 + (dz == 1) * 3 + (dy == -1) * 4 + (dy == 1) * 5;
}

// Corner c of the face minus the open cell's centre, for half-size `size`.
void CornerOffsets(const TFaceCorners& face, float size, float (&offset)[4][3]) {
  for (int c = 0; c < 4; ++c) {
    for (int axis = 0; axis < 3; ++axis) {
      offset[c][axis] = static_cast<float>(face.Corner[c][axis]) * size;
    }
  }
}

// The four records of one face, once its corners and its tile are known:
// offset[c] is corner c minus the open cell's centre (sign * size), (u0, v0)
// the tile's top-left corner in the face atlas.
[[gnu::always_inline]] inline std::uint8_t* WriteFace(const TChunk& chunk, std::uint8_t* buffer,
                                                      int x, int y, int z, const TFaceCorners& face,
                                                      const float (&offset)[4][3], float u0,
                                                      float v0) {
  const TDirection& d = face.D;
  const float u1 = u0 + TBlockClass::FACE_STEP;
  const float v1 = v0 + TBlockClass::FACE_STEP;

  int mask = TBlockClass::GetAOConfiguration(chunk.VoxelData, x + 2, y, z + 2, d.Dx, -d.Dy, -d.Dz);
  if (face.MirroredTile) mask = kMirroredMask[mask & 255];
  const float a0 = TBlockClass::AOTileU[mask];
  const float b0 = TBlockClass::AOTileV[mask];
  const float a1 = a0 + TBlockClass::AO_STEP;
  const float b1 = b0 + TBlockClass::AO_STEP;

  const auto grey = static_cast<std::uint8_t>((kLightOffset + chunk.Light[x + 2][y][z + 2]) % 256);
  const float nx = static_cast<float>(d.Dx);
  const float ny = static_cast<float>(d.Dy);
  const float nz = static_cast<float>(d.Dz);

  // Tile corners top-left, top-right, bottom-right, bottom-left.
  const float u[4] = {u0, u1, u1, u0};
  const float v[4] = {v0, v0, v1, v1};
  const float a[4] = {a0, a1, a1, a0};
  const float b[4] = {b0, b0, b1, b1};
  for (int c = 0; c < 4; ++c) {
    buffer = chunk.RenderVertexIntoBuffer(buffer, static_cast<float>(x) + offset[c][0],
                                          static_cast<float>(y) + offset[c][1],
                                          static_cast<float>(z) + offset[c][2], nx, ny, nz, u[c],
                                          v[c], 0.0f, grey, grey, grey, 255, a[c], b[c], 0.0f);
  }
  return buffer;
}

// RenderBlockFaceIntoBuffer for all the faces of one chunk: the same records,
// with what depends only on the direction (corner offsets, face index) or only
// on the block ID (its class's tile) worked out once per chunk instead of once
// per face. The block classes are read-only while chunks are built, so the
// tiles copied here stay current.
class TFaceWriter {
 public:
  TFaceWriter(const TChunk& chunk, float size) : Chunk(chunk) {
    for (int n = 0; n < 6; ++n) {
      const int* d = TVisibleFaces::DIRECTIONS[n];
      TKind& kind = Kinds[n];
      kind.Corners = FindFaceCorners(d[0], d[1], d[2]);
      kind.Face = FaceIndex(d[0], d[1], d[2]);
      CornerOffsets(*kind.Corners, size, kind.Offset);
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
    return WriteFace(Chunk, buffer, x, y, z, *kind.Corners, kind.Offset, TileU[id][kind.Face],
                     TileV[id][kind.Face]);
  }

 private:
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

  const TFaceWriter writer(*this, FACE_HALF_SIZE);
  std::uint8_t* p = VertexData.data();
  faces.ForEach(
      [&](int x, int y, int z, int direction) { p = writer.Write(p, x, y, z, direction); });
}

std::uint8_t* TChunk::RenderBlockFaceIntoBuffer(std::uint8_t* buffer, int x, int y, int z, int dx,
                                                int dy, int dz, float size) const {
  const TFaceCorners* face = FindFaceCorners(dx, dy, dz);
  if (!face) return buffer;
  float offset[4][3];
  CornerOffsets(*face, size, offset);
  // An ID without a class (the script forgot it) draws as the all-zero class.
  const TBlockClass& cls = TBlockClass::Lookup(VoxelData[x + 2 + dx][y + dy][z + 2 + dz]);
  const int f = FaceIndex(dx, dy, dz);
  return WriteFace(*this, buffer, x, y, z, *face, offset, cls.FaceU[f], cls.FaceV[f]);
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
