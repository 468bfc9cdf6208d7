#include "tests/gpu/PngChunks.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

#include "tests/gpu/PngFixture.h"

namespace {

using TBytes = std::vector<std::uint8_t>;

std::string TypeOf(const TBytes& png, std::size_t at) {
  return std::string(png.begin() + static_cast<long>(at + 4),
                     png.begin() + static_cast<long>(at + 8));
}

TBytes DataOf(const TBytes& png, std::size_t at) {
  const std::size_t length = std::size_t{png[at]} << 24 | std::size_t{png[at + 1]} << 16 |
                             std::size_t{png[at + 2]} << 8 | std::size_t{png[at + 3]};
  return TBytes(png.begin() + static_cast<long>(at + 8),
                png.begin() + static_cast<long>(at + 8 + length));
}

// The fuzzer builds its PNGs with AppendChunk: a wrong length or CRC there
// would stop every one of them at libpng's first check.
TEST(PngChunksTest, AFileRebuiltChunkByChunkIsTheSameFile) {
  const TBytes png = RgbaPng(3, 2, TBytes(24, 90)).Encode();
  const std::vector<std::size_t> offsets = ChunkOffsets(png);
  ASSERT_GE(offsets.size(), 3u);
  EXPECT_EQ(TypeOf(png, offsets.front()), "IHDR");
  EXPECT_EQ(TypeOf(png, offsets.back()), "IEND");

  TBytes rebuilt(png.begin(), png.begin() + 8);
  for (const std::size_t at : offsets)
    AppendChunk(rebuilt, TypeOf(png, at).c_str(), DataOf(png, at));
  EXPECT_EQ(rebuilt, png);
}

TEST(PngChunksTest, TheWalkEndsAtAChunkCutShort) {
  const TBytes png = RgbaPng(3, 2, TBytes(24, 90)).Encode();
  const std::vector<std::size_t> whole = ChunkOffsets(png);
  const TBytes cut(png.begin(), png.end() - 1);  // IEND loses the last byte of its CRC
  EXPECT_EQ(ChunkOffsets(cut), std::vector<std::size_t>(whole.begin(), whole.end() - 1));
  EXPECT_THROW(FindChunk(cut, "IEND"), std::out_of_range);
}

}  // namespace
