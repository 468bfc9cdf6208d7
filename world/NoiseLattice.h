#pragma once

#include <cmath>
#include <cstdint>

// One coordinate of a noise sample split into its lattice cell and the position
// within it. The cell index is unsigned so that doubling it may wrap; only its
// low 16 bits are ever used. Every step is exact in single precision (doubling,
// and subtracting 1 from a value in (1, 2]), so I + F is 2^octave * |v| and the
// split depends on nothing but v and the octave.
struct TLatticeCoordinate {
  std::uint32_t I = 0;
  float F = 0.0f;  // 0 <= F <= 1; exactly 1 only where doubling lands on a lattice point

  TLatticeCoordinate() = default;

  explicit TLatticeCoordinate(float v) {
    const float a = std::fabs(v);
    const std::int32_t i = static_cast<std::int32_t>(a);  // truncation; a < 2^31
    I = static_cast<std::uint32_t>(i);
    F = a - static_cast<float>(i);
  }

  // The same point on the lattice of the next octave, twice as fine. A doubled
  // fraction of exactly 1 stays in the cell (I = 2I, F = 1).
  void Double() {
    const float e = 2.0f * F;
    if (e > 1.0f) {
      I = 2u * I + 1u;
      F = e - 1.0f;
    } else {
      I = 2u * I;
      F = e;
    }
  }
};
