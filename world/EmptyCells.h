#pragma once

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include <cstdint>

// Bit n set where cells[n] is 0, for the 32 cells from `cells` on: the test
// at the heart of the mesher, run for every row of a chunk seven times.

// One cell at a time, for CPUs without SSE2. It is compiled everywhere so that
// the tests on x86 check it against the SSE2 code.
inline std::uint32_t EmptyCellsPortable(const std::uint8_t* cells) {
  std::uint32_t bits = 0;
  for (int n = 0; n < 32; ++n) bits |= static_cast<std::uint32_t>(cells[n] == 0) << n;
  return bits;
}

inline std::uint32_t EmptyCells(const std::uint8_t* cells) {
#if defined(__SSE2__)
  // 16 cells per compare; movemask gathers the byte masks into bits in order.
  const __m128i zero = _mm_setzero_si128();
  const __m128i low = _mm_loadu_si128(reinterpret_cast<const __m128i*>(cells));
  const __m128i high = _mm_loadu_si128(reinterpret_cast<const __m128i*>(cells + 16));
  const auto lowBits = static_cast<std::uint32_t>(_mm_movemask_epi8(_mm_cmpeq_epi8(low, zero)));
  const auto highBits = static_cast<std::uint32_t>(_mm_movemask_epi8(_mm_cmpeq_epi8(high, zero)));
  return lowBits | highBits << 16;
#else
  return EmptyCellsPortable(cells);
#endif
}
