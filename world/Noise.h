#pragma once

#include <vector>

// Fractal value noise over tables of random floats. A table holds 65536 floats
// in [-1, 1]; every index into it is taken modulo 65536. The lattice strides
// are 1 for x, 16 for y and 256 for z, so different lattice points share
// entries. Coordinates are mirrored (|v| is used) and must stay below 2^31.
using TNoiseTable = std::vector<float>;

constexpr int NOISE_TABLE_SIZE = 65536;
constexpr int NOISE_TABLE_COUNT = 20;

// The 20 tables of the world, made once at start-up and read-only afterwards,
// so worker threads read them without locks. The terrain reads tables 0..8.
inline std::vector<TNoiseTable> NoiseTables;

// A new table of 65536 entries drawn in index order from the one global random
// source (Park-Miller, multiplier 48271, fixed start state 0x1234). The source is
// never reseeded, so the n-th table made in a process is always the same.
TNoiseTable CreateNoiseTable();

// Appends NOISE_TABLE_COUNT tables to NoiseTables: start-up's one call.
void CreateNoiseTables();

// Cubic through b (t = 0) and c (t = 1) with neighbours a and d; may overshoot.
float InterpolateCubic(float a, float b, float c, float d, float t);

// Sum over `octaves` octaves (amplitude 0.5, 0.25, ...; frequency doubling);
// 0 for octaves <= 0.
float Noise1D(float x, int octaves, const TNoiseTable& table);
float Noise2D(float x, float y, int octaves, const TNoiseTable& table);
float Noise3D(float x, float y, float z, int octaves, const TNoiseTable& table);
