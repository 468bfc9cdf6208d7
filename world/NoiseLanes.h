#pragma once

#include <emmintrin.h>

#include <cstdint>
#include <cstring>

#include "world/Noise.h"

// Four floats computed lane by lane with SSE2, which every x86-64 CPU has, so
// one build gives the same world everywhere. Each operator is the IEEE single
// precision operation of the scalar code, applied to every lane; with
// -ffp-contract=off nothing is fused, so a lane's result is bit for bit what
// the scalar expression gives.
using TLanes = float __attribute__((vector_size(16)));

inline TLanes LoadLanes(const float* p) {
  TLanes v;
  std::memcpy(&v, p, sizeof v);
  return v;
}

inline void StoreLanes(float* p, TLanes v) {
  std::memcpy(p, &v, sizeof v);
}

inline TLanes Broadcast(float s) {
  return TLanes{s, s, s, s};
}

// Rows become columns: lane n of the result r holds lane r of input n.
inline void Transpose(TLanes& a, TLanes& b, TLanes& c, TLanes& d) {
  __m128 r0 = a, r1 = b, r2 = c, r3 = d;
  _MM_TRANSPOSE4_PS(r0, r1, r2, r3);
  a = r0;
  b = r1;
  c = r2;
  d = r3;
}

// InterpolateCubic term for term, for a float or for every lane.
template <class T>
[[gnu::always_inline]] inline T Cubic(T a, T b, T c, T d, T t) {
  const T p = (d - c) - (a - b);
  return b + t * ((c - a) + t * ((a - b) + t * p - p));
}

// The same cubic when its terms p = (d - c) - (a - b), c - a and a - b are
// already known: they depend on the four samples only, not on t, so a window
// shared by many points computes them once and the result is unchanged.
template <class T>
[[gnu::always_inline]] inline T CubicFromTerms(T p, T ca, T ab, T b, T t) {
  return b + t * (ca + t * (ab + t * p - p));
}

// Table entries index .. index + 3, each index taken modulo 65536.
inline TLanes LoadTableRow(const float* table, std::uint32_t index) {
  constexpr std::uint32_t kMask = NOISE_TABLE_SIZE - 1;
  index &= kMask;
  if (index <= kMask - 3) [[likely]]
    return LoadLanes(table + index);
  return TLanes{table[index], table[(index + 1u) & kMask], table[(index + 2u) & kMask],
                table[(index + 3u) & kMask]};
}

// std::fabs on every lane: the sign bit cleared.
inline TLanes Abs(TLanes v) {
  return _mm_andnot_ps(_mm_set1_ps(-0.0f), v);
}
