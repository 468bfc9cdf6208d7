#pragma once

#include "world/Chunk.h"

// The straightforward chunk build, one cell and one face at a time, exactly in
// the order of the definitions: GetTerrainBlock per cell, then heights, top
// soil and light; IsVisibleFace per cell and direction, then
// RenderBlockFaceIntoBuffer per face. Tests compare TChunk's own build with it
// byte for byte, and the benchmarks measure it side by side. Not part of the
// viewer.
void ReferenceGenerateData(TChunk& chunk);
// The passes after the terrain (heights, top soil, light) on the chunk's VoxelData.
void ReferenceFinishData(TChunk& chunk);
void ReferenceBuildVertexData(TChunk& chunk);
