#pragma once

#include "world/Chunk.h"

// The straightforward chunk build, one cell and one face at a time:
// GetTerrainBlock for every cell (TChunk::GenerateVoxels); then, one column or
// cell at a time, what TChunk::ComputeHeights, PlaceTopSoil and ComputeLight
// compute; then TChunk::IsVisibleFace's test for every cell and direction, and
// TChunk::RenderBlockFaceIntoBuffer for each visible face, in the order of the
// vertex data (see TVisibleFaces::ForEach). Tests compare TChunk's own build
// with it byte for byte, and the benchmarks measure it side by side. Not part
// of the viewer.
void ReferenceGenerateData(TChunk& chunk);
// The passes after the terrain (heights, top soil, light) on the chunk's VoxelData.
void ReferenceFinishData(TChunk& chunk);
void ReferenceBuildVertexData(TChunk& chunk);
