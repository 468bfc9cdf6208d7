#include "tests/gpu/PngChunks.h"

#include <zlib.h>

#include <algorithm>
#include <stdexcept>

namespace {

constexpr std::size_t kSignatureSize = 8;
constexpr std::size_t kFrameSize = 12;  // length, type and CRC around the data

std::uint32_t ReadBigEndian(const std::vector<std::uint8_t>& bytes, std::size_t at) {
  return std::uint32_t{bytes[at]} << 24 | std::uint32_t{bytes[at + 1]} << 16 |
         std::uint32_t{bytes[at + 2]} << 8 | std::uint32_t{bytes[at + 3]};
}

void WriteBigEndian(std::vector<std::uint8_t>& bytes, std::size_t at, std::uint32_t value) {
  for (int i = 0; i < 4; ++i) bytes[at + i] = static_cast<std::uint8_t>(value >> (24 - 8 * i));
}

}  // namespace

std::vector<std::size_t> ChunkOffsets(const std::vector<std::uint8_t>& png) {
  std::vector<std::size_t> offsets;
  std::size_t at = kSignatureSize;
  while (at + kFrameSize <= png.size()) {
    const std::uint32_t length = ReadBigEndian(png, at);
    if (length > png.size() - at - kFrameSize) break;
    offsets.push_back(at);
    at += kFrameSize + length;
  }
  return offsets;
}

std::size_t FindChunk(const std::vector<std::uint8_t>& png, const std::string& type) {
  for (const std::size_t at : ChunkOffsets(png)) {
    if (std::string(png.begin() + at + 4, png.begin() + at + 8) == type) return at;
  }
  throw std::out_of_range("no " + type + " chunk");
}

void FixChunkCrc(std::vector<std::uint8_t>& png, std::size_t offset) {
  if (offset + kFrameSize > png.size()) throw std::out_of_range("no chunk there");
  const std::uint32_t length = ReadBigEndian(png, offset);
  if (length > png.size() - offset - kFrameSize) throw std::out_of_range("chunk cut short");
  const uLong crc = crc32(0L, png.data() + offset + 4, static_cast<uInt>(length + 4));
  WriteBigEndian(png, offset + 8 + length, static_cast<std::uint32_t>(crc));
}

void AppendChunk(std::vector<std::uint8_t>& png, const char* type,
                 const std::vector<std::uint8_t>& data) {
  const std::size_t at = png.size();
  png.resize(at + kFrameSize + data.size());
  WriteBigEndian(png, at, static_cast<std::uint32_t>(data.size()));
  std::copy(type, type + 4, png.begin() + static_cast<std::ptrdiff_t>(at + 4));
  std::copy(data.begin(), data.end(), png.begin() + static_cast<std::ptrdiff_t>(at + 8));
  FixChunkCrc(png, at);
}
