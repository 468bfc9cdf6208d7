#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

class TChunk;

// 64-bit FNV-1a of the `size` bytes at `data`.
std::uint64_t Fnv1a(const void* data, std::size_t size);

// What `voxeltool digest` prints for a generated and meshed chunk after its
// grid coordinates: "voxel=HASH height=HASH light=HASH faces=N", the Fnv1a of
// its VoxelData, Height and Light in 16 lower-case hex digits each, and its
// number of faces. The lines pin the world the viewer generates; tests hold
// them to known values.
std::string ChunkDigest(const TChunk& chunk);
