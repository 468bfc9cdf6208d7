#pragma once

// The block ID of one cell of the world, by the decision tree of
// world/TerrainShape.h: open space (or fill at and below the fill level),
// caves, the surface layer, pockets, and ground. A pure function of its
// arguments and the read-only noise tables 0..8, in noise units of 128 cells:
// x and z are (world x or z + 32768) / 128, y is the depth (127 - height) / 128.
int GetTerrainBlock(float x, float y, float z);
