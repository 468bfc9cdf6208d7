#pragma once

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include <cstdint>
#include <cstring>

#include "world/Noise.h"

// Four floats computed lane by lane: SSE2 on x86-64 (every such CPU has it),
// NEON on arm64, whatever the compiler makes of the generic vectors elsewhere.
// Each operator is the IEEE single precision operation of the scalar code,
// applied to every lane; with -ffp-contract=off nothing is fused, so a lane's
// result is bit for bit what the scalar expression gives on any CPU.
using TLanes = float __attribute__((vector_size(16)));
// Four 32-bit integers, for lattice indices and bit masks.
using TLaneInts = std::int32_t __attribute__((vector_size(16)));
using TLaneBits = std::uint32_t __attribute__((vector_size(16)));

// std::bit_cast, which the C++ library of the WebAssembly build lacks; GCC
// and clang both have the builtin behind it.
template <class TTo, class TFrom>
constexpr TTo BitCast(const TFrom& from) {
  return __builtin_bit_cast(TTo, from);
}

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

// Transpose with the compilers' generic shuffles, for CPUs without SSE2. It
// is compiled everywhere so that the tests on x86 check it against SSE2's.
inline void TransposePortable(TLanes& a, TLanes& b, TLanes& c, TLanes& d) {
  const TLanes ab01 = __builtin_shufflevector(a, b, 0, 4, 1, 5);  // a0 b0 a1 b1
  const TLanes ab23 = __builtin_shufflevector(a, b, 2, 6, 3, 7);  // a2 b2 a3 b3
  const TLanes cd01 = __builtin_shufflevector(c, d, 0, 4, 1, 5);
  const TLanes cd23 = __builtin_shufflevector(c, d, 2, 6, 3, 7);
  a = __builtin_shufflevector(ab01, cd01, 0, 1, 4, 5);
  b = __builtin_shufflevector(ab01, cd01, 2, 3, 6, 7);
  c = __builtin_shufflevector(ab23, cd23, 0, 1, 4, 5);
  d = __builtin_shufflevector(ab23, cd23, 2, 3, 6, 7);
}

// Rows become columns: lane n of the result r holds lane r of input n.
inline void Transpose(TLanes& a, TLanes& b, TLanes& c, TLanes& d) {
#if defined(__SSE2__)
  __m128 r0 = a, r1 = b, r2 = c, r3 = d;
  _MM_TRANSPOSE4_PS(r0, r1, r2, r3);
  a = r0;
  b = r1;
  c = r2;
  d = r3;
#else
  TransposePortable(a, b, c, d);
#endif
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

// std::fabs on every lane: the sign bit cleared. Plain vector code, since on
// x86 it compiles to a single SSE2 and-mask anyway.
inline TLanes Abs(TLanes v) {
  return BitCast<TLanes>(BitCast<TLaneBits>(v) & 0x7fffffffu);
}
