#include "world/Terrain.h"

#include <cmath>

#include "world/Noise.h"

namespace {

// Every value below is single precision on purpose: the world has to come out
// the same wherever it is generated.
constexpr float kFillLevel = 1.0f - 0.3125f;                 // depth; at or below: 8 and 12
constexpr float kSurfaceThreshold = -0.1f;                   // density of the surface layer
constexpr float kOpenThreshold = kSurfaceThreshold + 0.05f;  // density of open space
constexpr float kCaveThreshold = 0.95f;
constexpr float kPocketThreshold = 0.8f;

// Noise of table `k` with `octaves` octaves at (x, y, z) * scale.
float Sample(int k, int octaves, float scale, float x, float y, float z) {
  return Noise3D(scale * x, scale * y, scale * z, octaves, NoiseTables[k]);
}

}  // namespace

int GetTerrainBlock(float x, float y, float z) {
  float d = (1.0f - y) - std::fabs(0.2f * Sample(0, 4, 2.0f, x, y, z));
  d = d - (1.0f + Sample(8, 5, 2.0f, x, y, z)) * 0.5f;
  if (d >= kOpenThreshold) return y < kFillLevel ? 0 : 8;

  // The cave test reads a warped position, so caves wind instead of following
  // the lattice.
  const float qx = x + 0.25f * Sample(1, 3, 6.0f, x, y, z);
  const float qy = y + 0.25f * Sample(2, 3, 6.0f, x, y, z);
  const float qz = z + 0.25f * Sample(3, 3, 6.0f, x, y, z);
  const float a = 1.0f - std::fabs(Sample(4, 1, 2.0f, qx, qy, qz));
  const float b = 1.0f - std::fabs(Sample(5, 1, 2.0f, qx, qy, qz));
  if (a > kCaveThreshold && b > kCaveThreshold) return 0;

  if (d >= kSurfaceThreshold) return y < kFillLevel ? 3 : 12;

  const float deep = 1.0f + Sample(6, 3, 20.0f, x, y, z);
  if (deep * 0.5f * y * 0.667f > kPocketThreshold) return 14;
  const float pocket = 1.0f + Sample(7, 3, 20.0f, x, y, z);
  if (pocket * 0.5f > kPocketThreshold) return 15;
  return 1;
}
