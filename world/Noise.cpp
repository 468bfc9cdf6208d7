#include "world/Noise.h"

#include <cstdint>

#include "world/NoiseLattice.h"

namespace {

// The one random source of the process: Park-Miller "minimal standard" with
// multiplier 48271, modulus 2^31 - 1, stepped by Schrage's method so that no
// product leaves 32 bits. Only CreateNoiseTable draws from it.
std::int32_t RandomState = 0x1234;

std::int32_t NextRandomState() {
  constexpr std::int32_t kQuotient = 44488;  // (2^31 - 1) / 48271
  constexpr std::int32_t kRemainder = 3399;  // (2^31 - 1) % 48271
  std::int32_t s = (RandomState % kQuotient) * 48271 - (RandomState / kQuotient) * kRemainder;
  if (s < 0) s += 2147483647;
  RandomState = s;
  return s;
}

// A double in [0, 1) from two steps: 27 bits of the first state (bits 2..28)
// above 26 bits of the second (bits 3..28).
double NextRandomDouble() {
  const std::int32_t a = NextRandomState() & 0x1FFFFFFC;
  const std::int32_t b = NextRandomState() & 0x1FFFFFF8;
  return (static_cast<double>(a) + static_cast<double>(b) / 134217728.0) / 536870912.0;
}

// The low 16 bits of a lattice index: the position in a table.
constexpr std::uint32_t kTableMask = NOISE_TABLE_SIZE - 1;

// Cubic along x through the four table entries from `base` on.
float InterpolateRow(const TNoiseTable& table, std::uint32_t base, float fx) {
  return InterpolateCubic(table[base & kTableMask], table[(base + 1u) & kTableMask],
                          table[(base + 2u) & kTableMask], table[(base + 3u) & kTableMask], fx);
}

}  // namespace

TNoiseTable CreateNoiseTable() {
  TNoiseTable table(NOISE_TABLE_SIZE);
  for (float& entry : table) {
    const double r = NextRandomDouble();
    entry = static_cast<float>(-1.0 + r * 2.0);
  }
  return table;
}

void CreateNoiseTables() {
  for (int n = 0; n < NOISE_TABLE_COUNT; ++n) NoiseTables.push_back(CreateNoiseTable());
}

float InterpolateCubic(float a, float b, float c, float d, float t) {
  const float p = (d - c) - (a - b);
  return b + t * ((c - a) + t * ((a - b) + t * p - p));
}

float Noise1D(float x, int octaves, const TNoiseTable& table) {
  if (octaves <= 0) return 0.0f;
  TLatticeCoordinate cx(x);
  float amplitude = 0.5f;
  float sum = 0.0f;
  for (int octave = 0; octave < octaves; ++octave) {
    const float value = InterpolateRow(table, cx.I, cx.F);
    sum = sum + amplitude * value;
    amplitude = amplitude * 0.5f;
    cx.Double();
  }
  return sum;
}

float Noise2D(float x, float y, int octaves, const TNoiseTable& table) {
  if (octaves <= 0) return 0.0f;
  TLatticeCoordinate cx(x);
  TLatticeCoordinate cy(y);
  float amplitude = 0.5f;
  float sum = 0.0f;
  for (int octave = 0; octave < octaves; ++octave) {
    const std::uint32_t base = cx.I + 16u * cy.I;
    float rows[4];
    for (std::uint32_t yk = 0; yk < 4; ++yk)
      rows[yk] = InterpolateRow(table, base + 16u * yk, cx.F);
    const float value = InterpolateCubic(rows[0], rows[1], rows[2], rows[3], cy.F);
    sum = sum + amplitude * value;
    amplitude = amplitude * 0.5f;
    cx.Double();
    cy.Double();
  }
  return sum;
}

float Noise3D(float x, float y, float z, int octaves, const TNoiseTable& table) {
  if (octaves <= 0) return 0.0f;
  TLatticeCoordinate cx(x);
  TLatticeCoordinate cy(y);
  TLatticeCoordinate cz(z);
  float amplitude = 0.5f;
  float sum = 0.0f;
  for (int octave = 0; octave < octaves; ++octave) {
    const std::uint32_t base = cx.I + 16u * cy.I + 256u * cz.I;
    float planes[4];
    for (std::uint32_t zk = 0; zk < 4; ++zk) {
      float rows[4];
      for (std::uint32_t yk = 0; yk < 4; ++yk) {
        rows[yk] = InterpolateRow(table, base + 256u * zk + 16u * yk, cx.F);
      }
      planes[zk] = InterpolateCubic(rows[0], rows[1], rows[2], rows[3], cy.F);
    }
    const float value = InterpolateCubic(planes[0], planes[1], planes[2], planes[3], cz.F);
    sum = sum + amplitude * value;
    amplitude = amplitude * 0.5f;
    cx.Double();
    cy.Double();
    cz.Double();
  }
  return sum;
}
