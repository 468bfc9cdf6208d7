#pragma once

#include <cstdint>

#include "world/NoiseLanes.h"

// One octave of Noise3D at scattered points (the warped cave positions),
// bit for bit. Neighbouring cells almost always fall into the same 4 x 4 x 4
// window of the table, so the terms of its 16 row cubics, which depend on the
// window alone, are kept until a point needs another window.
class TNoiseWindow {
 public:
  explicit TNoiseWindow(const float* table) : Table_(table) {}

  // Noise3D(x, y, z, 1, table).
  float Sample(float x, float y, float z);
  // out[n] = Noise3D(x[n], y[n], z[n], 1, table) for n = 0..3. Four points in
  // one window take one lane each, with the same operations as Sample.
  void Sample4(const float* x, const float* y, const float* z, float* out);

 private:
  void Load(std::uint32_t base);

  const float* Table_;
  std::uint32_t Base_ = ~0u;  // the window held; ~0u (no 16-bit base) before the first
  // The row terms for each yk, one lane per zk: p = (d - c) - (a - b), c - a,
  // a - b and b of the row through entries base + 256 zk + 16 yk + 0..3.
  TLanes P_[4], CA_[4], AB_[4], B_[4];
};
