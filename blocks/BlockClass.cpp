#include "blocks/BlockClass.h"

#include "blocks/DataFolder.h"

namespace {

const TBlockClass EmptyClass;

}  // namespace

void TBlockClass::InitFields() {
  InvLightRadius = 1.0f / LightRadius;
  if (Masked != 0) TransparentIndex = -1;
  IsSolidBlock = (Transparent == 0 && Masked == 0) ? 1 : 0;
  for (int i = 0; i < 6; ++i) {
    // C division and remainder: tile 0 (a face the script left out) gives
    // t = -1, so U = -FACE_STEP, the tile left of tile 1. 64 bits, so the
    // lowest int32 tile number cannot overflow.
    const std::int64_t t = std::int64_t{FaceTexture[i]} - 1;
    FaceU[i] = static_cast<float>(t % FACES_PER_SIDE) * FACE_STEP;
    FaceV[i] = static_cast<float>(t / FACES_PER_SIDE) * FACE_STEP;
  }
}

const TBlockClass& TBlockClass::Lookup(int id) {
  if (id < 0 || id >= MAX_BLOCK_COUNT) return EmptyClass;
  const std::shared_ptr<TBlockClass>& cls = BlockClasses[id];
  return cls ? *cls : EmptyClass;
}

void TBlockClass::Init() {
  LoadBlockTextures();
  PrecalcAOCoordinates();
}

void TBlockClass::LoadBlockTextures() {
  BlockTexture = TTexture2D::Load(TDataFolder::PathOf(TEXTURE_PATH));
  AOTexture = TTexture2D::Load(TDataFolder::PathOf(AO_PATH));
}

void TBlockClass::PrecalcAOCoordinates() {
  for (int m = 0; m < 256; ++m) {
    AOTileU[m] = static_cast<float>(m % AO_PER_SIDE) * AO_STEP;
    AOTileV[m] = static_cast<float>(m / AO_PER_SIDE) * AO_STEP;
  }
}

int TBlockClass::GetAOConfiguration(const TVoxelGrid& voxels, int x, int y, int z, int dx, int dy,
                                    int dz) {
  // Offsets of the cells of bits 0..7 within the plane across the axis.
  struct TCell {
    int X, Y, Z;
  };
  static constexpr TCell kAcrossY[8] = {{1, 0, 1},  {0, 0, 1},  {-1, 0, 1}, {1, 0, 0},
                                        {-1, 0, 0}, {1, 0, -1}, {0, 0, -1}, {-1, 0, -1}};
  static constexpr TCell kAcrossX[8] = {{0, 1, -1}, {0, 1, 0},   {0, 1, 1},  {0, 0, -1},
                                        {0, 0, 1},  {0, -1, -1}, {0, -1, 0}, {0, -1, 1}};
  static constexpr TCell kAcrossZ[8] = {{-1, 1, 0}, {0, 1, 0},   {1, 1, 0},  {-1, 0, 0},
                                        {1, 0, 0},  {-1, -1, 0}, {0, -1, 0}, {1, -1, 0}};
  const TCell* cells = dy != 0 ? kAcrossY : dx != 0 ? kAcrossX : dz != 0 ? kAcrossZ : nullptr;
  if (!cells) return 0;
  int mask = 0;
  for (int bit = 0; bit < 8; ++bit) {
    const TCell& c = cells[bit];
    const int id = voxels[x + c.X][y + c.Y][z + c.Z];
    mask |= Lookup(id).IsSolidBlock << bit;
  }
  return mask;
}
