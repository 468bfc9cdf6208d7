#include "gpu/Image.h"

#include <png.h>

#include <algorithm>
#include <cmath>
#include <csetjmp>
#include <cstdio>
#include <memory>

#include "gpu/PngWriter.h"
#include "platform/ReadFile.h"

namespace {

// libpng reports errors by longjmp to the setjmp in the caller. Everything that
// changes after setjmp lives behind pointers set before it, so no automatic
// object's value is lost by the jump, and no C++ frame lies between the jump
// and its target.
[[noreturn]] void OnPngError(png_structp png, png_const_charp) {
  png_longjmp(png, 1);
}
void OnPngWarning(png_structp, png_const_charp) {}

struct TMemoryReader {
  std::span<const std::uint8_t> Bytes;
  std::size_t Offset = 0;
};

void ReadFromMemory(png_structp png, png_bytep out, png_size_t count) {
  auto* reader = static_cast<TMemoryReader*>(png_get_io_ptr(png));
  if (count > reader->Bytes.size() - reader->Offset) png_error(png, "truncated");
  std::copy_n(reader->Bytes.data() + reader->Offset, count, out);
  reader->Offset += count;
}

void ReadFromFile(png_structp png, png_bytep out, png_size_t count) {
  if (std::fread(out, 1, count, static_cast<std::FILE*>(png_get_io_ptr(png))) != count)
    png_error(png, "truncated or unreadable");
}

struct TDecodeState {
  TImage Image;
  std::vector<png_bytep> Rows;
};

// Decodes the PNG that `read` delivers from `source`, which libpng asks for
// only the bytes it needs: it stops at the end of the image.
std::optional<TImage> Decode(png_rw_ptr read, void* source) {
  auto state = std::make_unique<TDecodeState>();
  png_structp png =
      png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, OnPngError, OnPngWarning);
  if (!png) return std::nullopt;
  png_infop info = png_create_info_struct(png);
  if (!info) {
    png_destroy_read_struct(&png, nullptr, nullptr);
    return std::nullopt;
  }
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_read_struct(&png, &info, nullptr);
    return std::nullopt;
  }
  png_set_user_limits(png, TImage::MAX_DIMENSION, TImage::MAX_DIMENSION);
  png_set_read_fn(png, source, read);
  png_read_info(png, info);

  // Whatever the file holds, ask libpng for 8-bit R, G, B, A.
  const int colourType = png_get_color_type(png, info);
  png_set_expand(png);  // palette -> RGB, grey below 8 bits -> 8, tRNS -> alpha
  png_set_strip_16(png);
  if (colourType == PNG_COLOR_TYPE_GRAY || colourType == PNG_COLOR_TYPE_GRAY_ALPHA) {
    png_set_gray_to_rgb(png);
  }
  png_set_filler(png, 0xFF, PNG_FILLER_AFTER);  // opaque where there is no alpha
  png_set_interlace_handling(png);
  png_read_update_info(png, info);

  TImage& image = state->Image;
  image.Width = static_cast<int>(png_get_image_width(png, info));
  image.Height = static_cast<int>(png_get_image_height(png, info));
  if (png_get_rowbytes(png, info) != static_cast<png_size_t>(image.Width) * 4) {
    png_error(png, "unexpected row size");
  }
  image.Pixels.resize(static_cast<std::size_t>(image.Width) * image.Height * 4);
  state->Rows.resize(static_cast<std::size_t>(image.Height));
  for (int y = 0; y < image.Height; ++y) state->Rows[y] = image.PixelAt(0, y);
  png_read_image(png, state->Rows.data());
  png_read_end(png, nullptr);
  png_destroy_read_struct(&png, &info, nullptr);
  return std::move(state->Image);
}

}  // namespace

std::optional<TImage> TImage::LoadPng(const std::string& path) {
  // Streamed rather than read whole: a path to an endless or enormous file
  // (a device, a huge file by mistake) must not fill the memory.
  const TFileHandle file = OpenFile(path, "rb");
  if (!file) return std::nullopt;
  return Decode(ReadFromFile, file.get());
}

std::optional<TImage> TImage::DecodePng(std::span<const std::uint8_t> bytes) {
  if (bytes.size() < 8 || png_sig_cmp(bytes.data(), 0, 8) != 0) return std::nullopt;
  TMemoryReader reader{bytes};
  return Decode(ReadFromMemory, &reader);
}

bool TImage::SavePng(const std::string& path) const {
  const TFileHandle file = OpenFile(path, "wb");
  if (!file) return false;
  TPngWriter writer(file.get(), Width, Height, 9);
  if (!writer.WriteRows(Pixels.data(), Height) || !writer.Finish()) return false;
  return std::fflush(file.get()) == 0;
}

TImage TImage::Resampled(int width, int height) const {
  TImage out;
  out.Width = width;
  out.Height = height;
  out.Pixels.resize(static_cast<std::size_t>(width) * height * 4);
  // Sample centres map onto each other; for an exact halving this averages
  // each 2 x 2 block.
  const float scaleX = static_cast<float>(Width) / static_cast<float>(width);
  const float scaleY = static_cast<float>(Height) / static_cast<float>(height);
  for (int y = 0; y < height; ++y) {
    const float sy = std::clamp((static_cast<float>(y) + 0.5f) * scaleY - 0.5f, 0.0f,
                                static_cast<float>(Height - 1));
    const int y0 = static_cast<int>(sy);
    const int y1 = std::min(y0 + 1, Height - 1);
    const float fy = sy - static_cast<float>(y0);
    for (int x = 0; x < width; ++x) {
      const float sx = std::clamp((static_cast<float>(x) + 0.5f) * scaleX - 0.5f, 0.0f,
                                  static_cast<float>(Width - 1));
      const int x0 = static_cast<int>(sx);
      const int x1 = std::min(x0 + 1, Width - 1);
      const float fx = sx - static_cast<float>(x0);
      std::uint8_t* target = out.PixelAt(x, y);
      for (int c = 0; c < 4; ++c) {
        const float top = PixelAt(x0, y0)[c] * (1.0f - fx) + PixelAt(x1, y0)[c] * fx;
        const float bottom = PixelAt(x0, y1)[c] * (1.0f - fx) + PixelAt(x1, y1)[c] * fx;
        target[c] = static_cast<std::uint8_t>(std::lround(top * (1.0f - fy) + bottom * fy));
      }
    }
  }
  return out;
}

std::vector<TImage> TImage::TextureLevels(TImage image,
                                          const std::function<bool(int, int)>& accepts) {
  int width = CeilPowerOfTwo(image.Width);
  int height = CeilPowerOfTwo(image.Height);
  while (!accepts(width, height)) {
    if (width == 1 && height == 1) return {};
    if (width > 1) width /= 2;
    if (height > 1) height /= 2;
  }
  std::vector<TImage> levels;
  levels.push_back(width == image.Width && height == image.Height ? std::move(image)
                                                                  : image.Resampled(width, height));
  while (levels.back().Width > 1 || levels.back().Height > 1) {
    const TImage& last = levels.back();
    levels.push_back(
        last.Resampled(last.Width > 1 ? last.Width / 2 : 1, last.Height > 1 ? last.Height / 2 : 1));
  }
  return levels;
}

int TImage::CeilPowerOfTwo(int n) {
  int power = 1;
  while (power < n) power *= 2;
  return power;
}
