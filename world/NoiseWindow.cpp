#include "world/NoiseWindow.h"

#include "world/NoiseLattice.h"

float TNoiseWindow::Sample(float x, float y, float z) {
  const TLatticeCoordinate cx(x);
  const TLatticeCoordinate cy(y);
  const TLatticeCoordinate cz(z);
  const std::uint32_t base = (cx.I + 16u * cy.I + 256u * cz.I) & (NOISE_TABLE_SIZE - 1);
  if (base != Base) Load(base);

  // Rows along x, the four yk of each zk in one lane: row(zk, yk) = lane zk of rows[yk].
  const TLanes fx = Broadcast(cx.F);
  TLanes rows[4];
  for (int yk = 0; yk < 4; ++yk) rows[yk] = CubicFromTerms(P[yk], CA[yk], AB[yk], B[yk], fx);
  // Planes along y, one lane per zk; then the cubic along z.
  const TLanes planes = Cubic(rows[0], rows[1], rows[2], rows[3], Broadcast(cy.F));
  const float value = Cubic(planes[0], planes[1], planes[2], planes[3], cz.F);
  // One octave: Noise3D's sum starts at 0 and adds 0.5 * value.
  float sum = 0.0f;
  sum = sum + 0.5f * value;
  return sum;
}

void TNoiseWindow::Load(std::uint32_t base) {
  Base = base;
  for (std::uint32_t yk = 0; yk < 4; ++yk) {
    const std::uint32_t first = base + 16u * yk;
    TLanes a = LoadTableRow(Table, first);
    TLanes b = LoadTableRow(Table, first + 256u);
    TLanes c = LoadTableRow(Table, first + 512u);
    TLanes d = LoadTableRow(Table, first + 768u);
    Transpose(a, b, c, d);  // a: entry 0 of the rows zk = 0..3, b: entry 1, ...
    AB[yk] = a - b;
    CA[yk] = c - a;
    P[yk] = (d - c) - AB[yk];
    B[yk] = b;
  }
}
