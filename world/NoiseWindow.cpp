#include "world/NoiseWindow.h"

#include "world/NoiseLattice.h"

namespace {

// TLatticeCoordinate on four lanes: the same truncation to int32, conversion
// back and subtraction. The generic conversions are SSE2's cvttps2dq and
// cvtdq2ps on x86 and single instructions on arm64, so every CPU shares this.
void Split(TLanes v, TLaneBits& i, TLanes& f) {
  const TLanes a = Abs(v);
  const TLaneInts truncated = __builtin_convertvector(a, TLaneInts);
  i = BitCast<TLaneBits>(truncated);
  f = a - __builtin_convertvector(truncated, TLanes);
}

TLanes Lane(TLanes v, int n) {
  return Broadcast(v[n]);
}

}  // namespace

void TNoiseWindow::Sample4(const float* x, const float* y, const float* z, float* out) {
  TLaneBits ix, iy, iz;
  TLanes fx, fy, fz;
  Split(LoadLanes(x), ix, fx);
  Split(LoadLanes(y), iy, fy);
  Split(LoadLanes(z), iz, fz);
  // Unsigned, so the sum wraps like Noise3D's.
  const TLaneBits bases = (ix + (iy << 4) + (iz << 8)) & (NOISE_TABLE_SIZE - 1u);
  if (bases[1] != bases[0] || bases[2] != bases[0] || bases[3] != bases[0]) {
    for (int n = 0; n < 4; ++n) out[n] = Sample(x[n], y[n], z[n]);
    return;
  }
  if (bases[0] != Base_) Load(bases[0]);

  // Rows along x, planes along y, then the cubic along z, one point per lane.
  TLanes planes[4];
  for (int zk = 0; zk < 4; ++zk) {
    TLanes rows[4];
    for (int yk = 0; yk < 4; ++yk) {
      rows[yk] = CubicFromTerms(Lane(P_[yk], zk), Lane(CA_[yk], zk), Lane(AB_[yk], zk),
                                Lane(B_[yk], zk), fx);
    }
    planes[zk] = Cubic(rows[0], rows[1], rows[2], rows[3], fy);
  }
  const TLanes value = Cubic(planes[0], planes[1], planes[2], planes[3], fz);
  // Started at +0, as in Sample, for the same zeros as Noise3D.
  TLanes total = Broadcast(0.0f);
  total = total + 0.5f * value;
  StoreLanes(out, total);
}

float TNoiseWindow::Sample(float x, float y, float z) {
  const TLatticeCoordinate cx(x);
  const TLatticeCoordinate cy(y);
  const TLatticeCoordinate cz(z);
  const std::uint32_t base = (cx.I + 16u * cy.I + 256u * cz.I) & (NOISE_TABLE_SIZE - 1);
  if (base != Base_) Load(base);

  // Rows along x, the four yk of each zk in one lane: row(zk, yk) = lane zk of rows[yk].
  const TLanes fx = Broadcast(cx.F);
  TLanes rows[4];
  for (int yk = 0; yk < 4; ++yk) rows[yk] = CubicFromTerms(P_[yk], CA_[yk], AB_[yk], B_[yk], fx);
  // Planes along y, one lane per zk; then the cubic along z.
  const TLanes planes = Cubic(rows[0], rows[1], rows[2], rows[3], Broadcast(cy.F));
  const float value = Cubic(planes[0], planes[1], planes[2], planes[3], cz.F);
  // Noise3D adds each octave to a sum started at +0, so where the first
  // octave's 0.5 * value is -0 it returns +0; returning 0.5 * value here would
  // give -0 there. Nothing reads the difference today (the terrain takes cave
  // noises only through their magnitude, and the tests compare with ==), but
  // this class promises Noise3D's bits, the sign of zero included.
  float sum = 0.0f;
  sum = sum + 0.5f * value;
  return sum;
}

void TNoiseWindow::Load(std::uint32_t base) {
  Base_ = base;
  for (std::uint32_t yk = 0; yk < 4; ++yk) {
    const std::uint32_t first = base + 16u * yk;
    TLanes a = LoadTableRow(Table_, first);
    TLanes b = LoadTableRow(Table_, first + 256u);
    TLanes c = LoadTableRow(Table_, first + 512u);
    TLanes d = LoadTableRow(Table_, first + 768u);
    Transpose(a, b, c, d);  // a: entry 0 of the rows zk = 0..3, b: entry 1, ...
    AB_[yk] = a - b;
    CA_[yk] = c - a;
    P_[yk] = (d - c) - AB_[yk];
    B_[yk] = b;
  }
}
