// Drives the image path of a texture without OpenGL: PNG decoding and
// conversion to 8-bit RGBA, the choice of the texture size under a simulated
// driver limit, the resampling to that size and the mipmap chain.
//
// Input: byte 0 chooses the mode, byte 1 the driver limit, the rest is
//   mode & 1 == 0: a PNG file as is (with mode & 2, every chunk CRC is made
//                  right first, so mutations get past the checksums);
//   mode & 1 == 1: the fields of a PNG that this harness writes: size, colour
//                  type, bit depth, interlacing, palette, tRNS, then the
//                  filtered scanlines, zero-padded to the length they need;
//   mode & 4:      the PNG is read from a file rather than from memory.
#include <sys/mman.h>
#include <unistd.h>
#include <zlib.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "gpu/Image.h"
#include "tests/fuzz/FuzzInput.h"
#include "tests/gpu/PngChunks.h"

namespace {

using TBytes = std::vector<std::uint8_t>;

void PutBigEndian(TBytes& out, std::uint32_t value) {
  for (int shift = 24; shift >= 0; shift -= 8)
    out.push_back(static_cast<std::uint8_t>(value >> shift));
}

TBytes WritePng(TFuzzInput& in) {
  struct TKind {
    std::uint8_t ColorType, Channels;
    std::uint8_t Depths[5];
  };
  static constexpr TKind kKinds[] = {{0, 1, {1, 2, 4, 8, 16}},
                                     {2, 3, {8, 16, 8, 16, 8}},
                                     {3, 1, {1, 2, 4, 8, 8}},
                                     {4, 2, {8, 16, 8, 16, 8}},
                                     {6, 4, {8, 16, 8, 16, 8}}};
  const int width = 1 + in.Byte() % 96;
  const int height = 1 + in.Byte() % 96;
  const TKind& kind = kKinds[in.Byte() % 5];
  const int depth = kind.Depths[in.Byte() % 5];
  const bool interlaced = in.Byte() & 1;
  const int paletteSize = in.Byte() % 257;
  const int trnsSize = in.Byte() % 260;

  TBytes png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  TBytes header;
  PutBigEndian(header, static_cast<std::uint32_t>(width));
  PutBigEndian(header, static_cast<std::uint32_t>(height));
  header.insert(header.end(), {static_cast<std::uint8_t>(depth), kind.ColorType, 0, 0,
                               static_cast<std::uint8_t>(interlaced)});
  AppendChunk(png, "IHDR", header);
  if (paletteSize > 0) {
    TBytes palette;
    for (int i = 0; i < paletteSize * 3; ++i) palette.push_back(in.Byte());
    AppendChunk(png, "PLTE", palette);
  }
  if (trnsSize > 0) {
    TBytes trns;
    for (int i = 0; i < trnsSize; ++i) trns.push_back(in.Byte());
    AppendChunk(png, "tRNS", trns);
  }

  // Enough filtered scanlines for the whole image even when interlaced (each
  // pass row has its own filter byte; a row of the full width bounds them).
  const std::size_t rowBytes = (static_cast<std::size_t>(width) * kind.Channels * depth + 7) / 8;
  const std::size_t rows = interlaced ? static_cast<std::size_t>(height) * 2 + 7 : height;
  TBytes raw(rows * (rowBytes + 1), 0);
  const std::span<const std::uint8_t> rest = in.Rest();
  for (std::size_t i = 0; i < raw.size() && i < rest.size(); ++i) raw[i] = rest[i];
  // Keep most filter bytes valid so the pixels, not the filters, get mutated.
  for (std::size_t row = 0; row < static_cast<std::size_t>(height); ++row)
    raw[row * (rowBytes + 1)] %= 6;
  uLongf packedSize = compressBound(static_cast<uLong>(raw.size()));
  TBytes packed(packedSize);
  if (compress2(packed.data(), &packedSize, raw.data(), static_cast<uLong>(raw.size()), 1) != Z_OK)
    return {};
  packed.resize(packedSize);
  AppendChunk(png, "IDAT", packed);
  AppendChunk(png, "IEND", {});
  return png;
}

void Check(bool condition) {
  if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  TFuzzInput in(data, size);
  const std::uint8_t mode = in.Byte();
  // Up to 2^13 a side; 14 and 15 refuse every size.
  const int limitBits = in.Byte() % 16;
  const int limit = limitBits <= 13 ? 1 << limitBits : 0;

  TBytes png;
  if (mode & 1) {
    png = WritePng(in);
  } else {
    const std::span<const std::uint8_t> rest = in.Rest();
    png.assign(rest.begin(), rest.end());
    if (mode & 2) {
      for (const std::size_t at : ChunkOffsets(png)) FixChunkCrc(png, at);
    }
  }

  std::optional<TImage> image;
  if (mode & 4) {
    // An in-memory file, so no disk is touched.
    const int fd = memfd_create("png", MFD_CLOEXEC);
    Check(fd >= 0);
    Check(write(fd, png.data(), png.size()) == static_cast<ssize_t>(png.size()));
    image = TImage::LoadPng("/proc/self/fd/" + std::to_string(fd));
    close(fd);
  } else {
    image = TImage::DecodePng(png);
  }
  if (!image) return 0;
  Check(image->Width >= 1 && image->Height >= 1);
  Check(image->Width <= TImage::MAX_DIMENSION && image->Height <= TImage::MAX_DIMENSION);
  Check(image->Pixels.size() == static_cast<std::size_t>(image->Width) * image->Height * 4);

  const int width = image->Width, height = image->Height;
  const std::vector<TImage> levels = TImage::TextureLevels(
      std::move(*image), [&](int w, int h) { return w <= limit && h <= limit; });
  if (limit == 0) {
    Check(levels.empty());
    return 0;
  }
  Check(!levels.empty());
  // Level 0: the power-of-two size, both sides halved together until it fits.
  int fitWidth = TImage::CeilPowerOfTwo(width), fitHeight = TImage::CeilPowerOfTwo(height);
  while (fitWidth > limit || fitHeight > limit) {
    fitWidth = std::max(1, fitWidth / 2);
    fitHeight = std::max(1, fitHeight / 2);
  }
  Check(levels[0].Width == fitWidth && levels[0].Height == fitHeight);
  for (std::size_t i = 0; i < levels.size(); ++i) {
    const TImage& level = levels[i];
    Check(level.Pixels.size() == static_cast<std::size_t>(level.Width) * level.Height * 4);
    if (i > 0) {
      Check(level.Width == std::max(1, levels[i - 1].Width / 2));
      Check(level.Height == std::max(1, levels[i - 1].Height / 2));
    }
  }
  Check(levels.back().Width == 1 && levels.back().Height == 1);
  return 0;
}
