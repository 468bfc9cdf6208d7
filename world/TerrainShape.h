#pragma once

#include <cstdint>

// The facts of the terrain, each written once: the thresholds of its decision
// tree, the block IDs it gives, and the top soil laid on it afterwards.
// GetTerrainBlock and the reference chunk build (bench/reference) read them a
// cell at a time, TTerrainGenerator and TChunk::PlaceTopSoil a chunk at a time,
// and the two must give the same world bit for bit. Every value is single
// precision on purpose: the world has to come out the same wherever it is
// generated.
namespace TerrainShape {

constexpr float FILL_LEVEL = 1.0f - 0.3125f;                 // depth; at or below: 8 and 12
constexpr float SURFACE_THRESHOLD = -0.1f;                   // density of the surface layer
constexpr float OPEN_THRESHOLD = SURFACE_THRESHOLD + 0.05f;  // density of open space
constexpr float CAVE_THRESHOLD = 0.95f;
constexpr float POCKET_THRESHOLD = 0.8f;

constexpr std::uint8_t OPEN_BLOCK = 0;            // open space above the fill level, and caves
constexpr std::uint8_t GROUND_BLOCK = 1;          // the bulk of the ground
constexpr std::uint8_t TOP_SOIL_BLOCK = 2;        // exposed surface layer, low
constexpr std::uint8_t SURFACE_BLOCK = 3;         // the surface layer above the fill level
constexpr std::uint8_t FILL_BLOCK = 8;            // open space at or below the fill level
constexpr std::uint8_t LOW_SURFACE_BLOCK = 12;    // the surface layer at or below the fill level
constexpr std::uint8_t DEEP_POCKET_BLOCK = 14;    // pockets that grow likelier with depth
constexpr std::uint8_t POCKET_BLOCK = 15;         // pockets all through the ground
constexpr std::uint8_t HIGH_TOP_SOIL_BLOCK = 78;  // exposed surface layer, high

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
