#include "tests/gpu/PngFixture.h"

#include <png.h>

#include <csetjmp>
#include <fstream>
#include <memory>
#include <stdexcept>

namespace {

int Channels(int colorType) {
  switch (colorType) {
    case PNG_COLOR_TYPE_GRAY:
    case PNG_COLOR_TYPE_PALETTE:
      return 1;
    case PNG_COLOR_TYPE_GRAY_ALPHA:
      return 2;
    case PNG_COLOR_TYPE_RGB:
      return 3;
    default:
      return 4;
  }
}

std::vector<std::uint8_t> PackRow(const std::uint16_t* samples, int count, int bitDepth) {
  std::vector<std::uint8_t> row;
  if (bitDepth == 16) {
    for (int i = 0; i < count; ++i) {
      row.push_back(static_cast<std::uint8_t>(samples[i] >> 8));
      row.push_back(static_cast<std::uint8_t>(samples[i] & 0xFF));
    }
    return row;
  }
  // Sub-byte samples are packed from the most significant bit.
  row.assign((static_cast<std::size_t>(count) * bitDepth + 7) / 8, 0);
  for (int i = 0; i < count; ++i) {
    const int bit = i * bitDepth;
    row[bit / 8] |= static_cast<std::uint8_t>(samples[i] << (8 - bitDepth - bit % 8));
  }
  return row;
}

void Append(png_structp png, png_bytep data, png_size_t length) {
  auto* out = static_cast<std::vector<std::uint8_t>*>(png_get_io_ptr(png));
  out->insert(out->end(), data, data + length);
}

}  // namespace

std::vector<std::uint8_t> TPngFixture::Encode() const {
  const int perRow = Width * Channels(ColorType);
  if (Samples.size() != static_cast<std::size_t>(perRow) * Height) {
    throw std::invalid_argument("sample count does not match the image size");
  }
  std::vector<std::vector<std::uint8_t>> rows;
  for (int y = 0; y < Height; ++y) rows.push_back(PackRow(&Samples[y * perRow], perRow, BitDepth));
  std::vector<png_bytep> rowPointers;
  for (auto& row : rows) rowPointers.push_back(row.data());
  std::vector<png_color> palette;
  for (const auto& entry : Palette) palette.push_back({entry[0], entry[1], entry[2]});
  png_color_16 key{};
  if (ColourKey) {
    key.gray = (*ColourKey)[0];
    key.red = (*ColourKey)[0];
    key.green = (*ColourKey)[1];
    key.blue = (*ColourKey)[2];
  }
  auto out = std::make_unique<std::vector<std::uint8_t>>();

  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png_create_info_struct(png);
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    throw std::runtime_error("libpng could not write the fixture");
  }
  png_set_write_fn(png, out.get(), Append, nullptr);
  png_set_IHDR(png, info, Width, Height, BitDepth, ColorType,
               Interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
               PNG_FILTER_TYPE_DEFAULT);
  if (!palette.empty()) png_set_PLTE(png, info, palette.data(), static_cast<int>(palette.size()));
  if (!PaletteAlpha.empty()) {
    png_set_tRNS(png, info, PaletteAlpha.data(), static_cast<int>(PaletteAlpha.size()), nullptr);
  } else if (ColourKey) {
    png_set_tRNS(png, info, nullptr, 0, &key);
  }
  png_write_info(png, info);
  png_write_image(png, rowPointers.data());
  png_write_end(png, nullptr);
  png_destroy_write_struct(&png, &info);
  return std::move(*out);
}

TPngFixture RgbaPng(int width, int height, const std::vector<std::uint8_t>& rgba) {
  TPngFixture fixture;
  fixture.Width = width;
  fixture.Height = height;
  fixture.ColorType = PNG_COLOR_TYPE_RGB_ALPHA;
  fixture.Samples.assign(rgba.begin(), rgba.end());
  return fixture;
}

void WriteFile(const std::string& path, const std::vector<std::uint8_t>& bytes) {
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
  if (!out) throw std::runtime_error("cannot write " + path);
}
