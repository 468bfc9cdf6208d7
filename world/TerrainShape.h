#pragma once

#include <array>
#include <cmath>
#include <cstdint>

// The facts of the terrain, each written once: the block IDs it gives, the
// noises its decision tree reads, the expressions the tree compares and their
// thresholds, and the top soil laid on it afterwards. GetTerrainBlock and the
// reference chunk build (bench/reference) read them a cell at a time,
// TTerrainGenerator and TChunk::PlaceTopSoil a chunk at a time, and the two
// must give the same world bit for bit. Every value is single precision on
// purpose: the world has to come out the same wherever it is generated.
namespace TerrainShape {

constexpr std::uint8_t OPEN_BLOCK = 0;            // open space above the fill level, and caves
constexpr std::uint8_t GROUND_BLOCK = 1;          // the bulk of the ground
constexpr std::uint8_t TOP_SOIL_BLOCK = 2;        // exposed surface layer, low
constexpr std::uint8_t SURFACE_BLOCK = 3;         // the surface layer above the fill level
constexpr std::uint8_t FILL_BLOCK = 8;            // open space at or below the fill level
constexpr std::uint8_t LOW_SURFACE_BLOCK = 12;    // the surface layer at or below the fill level
constexpr std::uint8_t DEEP_POCKET_BLOCK = 14;    // pockets that grow likelier with depth
constexpr std::uint8_t POCKET_BLOCK = 15;         // pockets all through the ground
constexpr std::uint8_t HIGH_TOP_SOIL_BLOCK = 78;  // exposed surface layer, high

// Every ID a generated chunk holds besides OPEN_BLOCK: the blocks that
// Blocks.lua has to define.
constexpr std::array<std::uint8_t, 8> WORLD_BLOCKS = {
    GROUND_BLOCK,      TOP_SOIL_BLOCK,    SURFACE_BLOCK, FILL_BLOCK,
    LOW_SURFACE_BLOCK, DEEP_POCKET_BLOCK, POCKET_BLOCK,  HIGH_TOP_SOIL_BLOCK};

// One noise of the tree: Noise3D(Scale * p, Octaves, NoiseTables[Table]) at
// generator position p.
struct TNoiseTerm {
  int Table;
  int Octaves;
  float Scale;
};

constexpr TNoiseTerm RIDGE_NOISE{0, 4, 2.0f};   // ridges and hollows (its magnitude counts)
constexpr TNoiseTerm HEIGHT_NOISE{8, 5, 2.0f};  // the lie of the land
constexpr TNoiseTerm WARP_NOISE[3] = {{1, 3, 6.0f}, {2, 3, 6.0f}, {3, 3, 6.0f}};  // x, y, z
constexpr TNoiseTerm CAVE_NOISE[2] = {{4, 1, 2.0f}, {5, 1, 2.0f}};  // at the warped position
constexpr TNoiseTerm DEEP_POCKET_NOISE{6, 3, 20.0f};
constexpr TNoiseTerm POCKET_NOISE{7, 3, 20.0f};

constexpr float FILL_LEVEL = 1.0f - 0.3125f;                 // depth; at or below: 8 and 12
constexpr float SURFACE_THRESHOLD = -0.1f;                   // density of the surface layer
constexpr float OPEN_THRESHOLD = SURFACE_THRESHOLD + 0.05f;  // density of open space
constexpr float CAVE_THRESHOLD = 0.95f;
constexpr float POCKET_THRESHOLD = 0.8f;

// A noise of -1..1 taken to 0..1.
inline float UnitNoise(float noise) {
  return (1.0f + noise) * 0.5f;
}

// How open the cell at depth y is (y from 0 at the top of the world to
// 127 / 128 at the bottom), from its ridge and height noises: open space from
// OPEN_THRESHOLD up, the surface layer from SURFACE_THRESHOLD up, ground below.
inline float Density(float y, float ridge, float height) {
  const float d = (1.0f - y) - std::fabs(0.2f * ridge);
  return d - UnitNoise(height);
}

inline bool IsOpenSpace(float density) {
  return density >= OPEN_THRESHOLD;
}
inline bool IsSurfaceLayer(float density) {
  return density >= SURFACE_THRESHOLD;
}

// What open space and the surface layer are at depth y: one block above the
// fill level, another at or below it.
inline std::uint8_t OpenSpaceBlock(float y) {
  return y < FILL_LEVEL ? OPEN_BLOCK : FILL_BLOCK;
}
inline std::uint8_t SurfaceLayerBlock(float y) {
  return y < FILL_LEVEL ? SURFACE_BLOCK : LOW_SURFACE_BLOCK;
}

// The cave noises are read at a warped position, so that caves wind instead
// of following the lattice: each coordinate plus its warp noise.
inline float Warped(float p, float warp) {
  return p + 0.25f * warp;
}

// A cave runs where both cave noises lie close to zero: each is a thin band,
// and two bands cross in a tunnel.
inline bool InCaveBand(float caveNoise) {
  return 1.0f - std::fabs(caveNoise) > CAVE_THRESHOLD;
}

// The pocket terms: deep pockets grow likelier with depth, the others are
// spread evenly through the ground.
inline bool IsDeepPocket(float y, float deepPocketNoise) {
  return UnitNoise(deepPocketNoise) * y * 0.667f > POCKET_THRESHOLD;
}
inline bool IsPocket(float pocketNoise) {
  return UnitNoise(pocketNoise) > POCKET_THRESHOLD;
}

// Top soil: a SURFACE_BLOCK right under an OPEN_BLOCK is exposed, and becomes
// TOP_SOIL_BLOCK, or HIGH_TOP_SOIL_BLOCK where the open cell above it is at
// height HIGH_TOP_SOIL_LEVEL or more (the block itself one lower). Fill above
// does not expose it.
constexpr int HIGH_TOP_SOIL_LEVEL = 96;

constexpr bool IsExposedSurface(std::uint8_t block, std::uint8_t above) {
  return above == OPEN_BLOCK && block == SURFACE_BLOCK;
}

// openHeight: the height (y) of the open cell above the exposed block.
constexpr std::uint8_t TopSoilBlock(int openHeight) {
  return openHeight < HIGH_TOP_SOIL_LEVEL ? TOP_SOIL_BLOCK : HIGH_TOP_SOIL_BLOCK;
}

}  // namespace TerrainShape
