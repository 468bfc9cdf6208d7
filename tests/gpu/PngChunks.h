#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// The chunks of a PNG file in memory, for tests and fuzzers that damage or
// build files. After the 8-byte signature each chunk is a 4-byte big-endian
// data length, a 4-byte type, the data and a CRC-32 of type and data.

// Byte offset of every whole chunk (its length field), in file order; the walk
// ends at the first chunk that the bytes cut short.
std::vector<std::size_t> ChunkOffsets(const std::vector<std::uint8_t>& png);
// Byte offset of the first chunk of `type`; throws std::out_of_range if absent.
std::size_t FindChunk(const std::vector<std::uint8_t>& png, const std::string& type);
// Recomputes the CRC of the whole chunk at `offset` after its data was changed.
void FixChunkCrc(std::vector<std::uint8_t>& png, std::size_t offset);
// Appends a chunk of `type` (four characters) with `data` and its CRC.
void AppendChunk(std::vector<std::uint8_t>& png, const char* type,
                 const std::vector<std::uint8_t>& data);
