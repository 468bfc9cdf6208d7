#include "world/Terrain.h"

#include "world/Noise.h"
#include "world/TerrainShape.h"

using namespace TerrainShape;

namespace {

float Sample(const TNoiseTerm& noise, float x, float y, float z) {
  return Noise3D(noise.Scale * x, noise.Scale * y, noise.Scale * z, noise.Octaves,
                 NoiseTables[noise.Table]);
}

}  // namespace

int GetTerrainBlock(float x, float y, float z) {
  const float ridge = Sample(RIDGE_NOISE, x, y, z);
  const float height = Sample(HEIGHT_NOISE, x, y, z);
  const float d = Density(y, ridge, height);
  if (IsOpenSpace(d)) return OpenSpaceBlock(y);

  const float qx = Warped(x, Sample(WARP_NOISE[0], x, y, z));
  const float qy = Warped(y, Sample(WARP_NOISE[1], x, y, z));
  const float qz = Warped(z, Sample(WARP_NOISE[2], x, y, z));
  const float a = Sample(CAVE_NOISE[0], qx, qy, qz);
  const float b = Sample(CAVE_NOISE[1], qx, qy, qz);
  if (InCaveBand(a) && InCaveBand(b)) return OPEN_BLOCK;

  if (IsSurfaceLayer(d)) return SurfaceLayerBlock(y);
  if (IsDeepPocket(y, Sample(DEEP_POCKET_NOISE, x, y, z))) return DEEP_POCKET_BLOCK;
  if (IsPocket(Sample(POCKET_NOISE, x, y, z))) return POCKET_BLOCK;
  return GROUND_BLOCK;
}
