#pragma once

// The thresholds of the terrain's decision tree, shared by GetTerrainBlock and
// the chunk-wide generator. Every value is single precision on purpose: the
// world has to come out the same wherever it is generated.
namespace TerrainShape {

constexpr float FILL_LEVEL = 1.0f - 0.3125f;                 // depth; at or below: 8 and 12
constexpr float SURFACE_THRESHOLD = -0.1f;                   // density of the surface layer
constexpr float OPEN_THRESHOLD = SURFACE_THRESHOLD + 0.05f;  // density of open space
constexpr float CAVE_THRESHOLD = 0.95f;
constexpr float POCKET_THRESHOLD = 0.8f;

}  // namespace TerrainShape
