#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <vector>

#include "world/EmptyCells.h"
#include "world/NoiseLanes.h"

// The lane code that CPUs without SSE2 run (arm64), against the SSE2 code that
// the chunk tests check here on x86: a lane or bit out of place would give
// another world on those CPUs, and only the arm64 check would see it.

namespace {

#if defined(__SSE2__)

TEST(PortableLanesTest, TransposeMovesEveryLaneAsSse2Does) {
  // Sixteen different values, so one case shows where every lane goes.
  TLanes a{0, 1, 2, 3}, b{4, 5, 6, 7}, c{8, 9, 10, 11}, d{12, 13, 14, 15};
  TLanes pa = a, pb = b, pc = c, pd = d;
  Transpose(a, b, c, d);
  TransposePortable(pa, pb, pc, pd);
  const TLanes sse2[4] = {a, b, c, d};
  const TLanes portable[4] = {pa, pb, pc, pd};
  for (int r = 0; r < 4; ++r) {
    for (int n = 0; n < 4; ++n)
      EXPECT_EQ(portable[r][n], sse2[r][n]) << "row " << r << " lane " << n;
  }
}

using TRow = std::array<std::uint8_t, 32>;

TEST(PortableLanesTest, EmptyCellsGivesTheMaskSse2Gives) {
  TRow full;
  full.fill(1);
  std::vector<TRow> rows = {TRow{}, full};
  // A lone block or a lone open cell at every position (bit order, bit 31, a
  // borrow between bytes), with IDs that are negative as signed chars, as
  // plain char is on x86 but not on arm64.
  for (int n = 0; n < 32; ++n) {
    for (std::uint8_t id : {1, 0x7f, 0x80, 0xff}) {
      TRow lone{};
      lone[n] = id;
      rows.push_back(lone);
    }
    TRow hole = full;
    hole[n] = 0;
    rows.push_back(hole);
  }
  for (const TRow& row : rows) {
    EXPECT_EQ(EmptyCellsPortable(row.data()), EmptyCells(row.data()))
        << ::testing::PrintToString(row);
  }
}

#endif

}  // namespace
