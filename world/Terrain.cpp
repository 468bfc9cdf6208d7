#include "world/Terrain.h"

#include <cmath>

#include "world/Noise.h"
#include "world/TerrainShape.h"

using namespace TerrainShape;

namespace {

// Noise of table `k` with `octaves` octaves at (x, y, z) * scale.
float Sample(int k, int octaves, float scale, float x, float y, float z) {
  return Noise3D(scale * x, scale * y, scale * z, octaves, NoiseTables[k]);
}

}  // namespace

int GetTerrainBlock(float x, float y, float z) {
  float d = (1.0f - y) - std::fabs(0.2f * Sample(0, 4, 2.0f, x, y, z));
  d = d - (1.0f + Sample(8, 5, 2.0f, x, y, z)) * 0.5f;
  if (d >= OPEN_THRESHOLD) return y < FILL_LEVEL ? OPEN_BLOCK : FILL_BLOCK;

  // The cave test reads a warped position, so caves wind instead of following
  // the lattice.
  const float qx = x + 0.25f * Sample(1, 3, 6.0f, x, y, z);
  const float qy = y + 0.25f * Sample(2, 3, 6.0f, x, y, z);
  const float qz = z + 0.25f * Sample(3, 3, 6.0f, x, y, z);
  const float a = 1.0f - std::fabs(Sample(4, 1, 2.0f, qx, qy, qz));
  const float b = 1.0f - std::fabs(Sample(5, 1, 2.0f, qx, qy, qz));
  if (a > CAVE_THRESHOLD && b > CAVE_THRESHOLD) return OPEN_BLOCK;

  if (d >= SURFACE_THRESHOLD) return y < FILL_LEVEL ? SURFACE_BLOCK : LOW_SURFACE_BLOCK;

  const float deep = 1.0f + Sample(6, 3, 20.0f, x, y, z);
  if (deep * 0.5f * y * 0.667f > POCKET_THRESHOLD) return DEEP_POCKET_BLOCK;
  const float pocket = 1.0f + Sample(7, 3, 20.0f, x, y, z);
  if (pocket * 0.5f > POCKET_THRESHOLD) return POCKET_BLOCK;
  return GROUND_BLOCK;
}
