#pragma once

// The block ID of one cell of the world: 0 open space and caves, 8 open space
// at or below the fill level, 3 / 12 the surface layer above / below it, 14 and
// 15 pockets in the ground, 1 the rest. A pure function of its arguments and
// the read-only noise tables 0..8, in noise units of 128 cells: x and z are
// (world x or z + 32768) / 128, y is the depth (127 - height) / 128.
int GetTerrainBlock(float x, float y, float z);
