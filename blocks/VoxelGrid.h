#pragma once

#include <cstdint>

// The block IDs of one chunk and its two-column ring of neighbouring terrain,
// indexed [i][y][k] with i = local x + 2 (0 <= i < 36), y the world height
// (0 <= y < 128) and k = local z + 2 (0 <= k < 36). k varies fastest in memory.
// Defined here rather than with the chunk because the ambient-occlusion lookup
// of the block classes reads it too.
constexpr int VOXEL_GRID_WIDTH = 36;
constexpr int VOXEL_GRID_HEIGHT = 128;
constexpr int VOXEL_GRID_DEPTH = 36;

using TVoxelGrid = std::uint8_t[VOXEL_GRID_WIDTH][VOXEL_GRID_HEIGHT][VOXEL_GRID_DEPTH];
