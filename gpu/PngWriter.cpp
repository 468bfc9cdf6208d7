#include "gpu/PngWriter.h"

#include <png.h>

#include <csetjmp>

static_assert(TPngWriter::MAX_DIMENSION == PNG_USER_WIDTH_MAX &&
              TPngWriter::MAX_DIMENSION == PNG_USER_HEIGHT_MAX);

namespace {

// libpng reports errors by longjmp to the setjmp of the function that called
// it; those functions hold no object with a destructor across the call.
[[noreturn]] void OnPngError(png_structp png, png_const_charp) {
  png_longjmp(png, 1);
}
void OnPngWarning(png_structp, png_const_charp) {}

}  // namespace

struct TPngWriter::TState {
  png_structp Png = nullptr;
  png_infop Info = nullptr;
  ~TState() {
    if (Png) png_destroy_write_struct(&Png, Info ? &Info : nullptr);
  }
};

TPngWriter::TPngWriter(std::FILE* file, int width, int height, int compressionLevel)
    : State_(std::make_unique<TState>()), Width_(width), Height_(height) {
  TState& state = *State_;
  if (width < 1 || height < 1 || width > MAX_DIMENSION || height > MAX_DIMENSION) return;
  state.Png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, OnPngError, OnPngWarning);
  if (!state.Png) return;
  state.Info = png_create_info_struct(state.Png);
  if (!state.Info) return;
  if (setjmp(png_jmpbuf(state.Png))) return;
  png_init_io(state.Png, file);
  // Fixed settings, so with one libpng and zlib the same pixels give the same
  // bytes; another zlib may compress them differently.
  png_set_compression_level(state.Png, compressionLevel);
  png_set_IHDR(state.Png, state.Info, static_cast<png_uint_32>(width),
               static_cast<png_uint_32>(height), 8, PNG_COLOR_TYPE_RGB_ALPHA, PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_write_info(state.Png, state.Info);
  Ok_ = true;
}

TPngWriter::~TPngWriter() = default;

bool TPngWriter::WriteRows(const std::uint8_t* rows, int count) {
  if (!Ok_ || count < 0 || count > Height_ - Written_) return Ok_ = false;
  png_structp png = State_->Png;
  const std::size_t pitch = static_cast<std::size_t>(Width_) * 4;
  if (setjmp(png_jmpbuf(png))) return Ok_ = false;
  for (int n = 0; n < count; ++n) png_write_row(png, rows + pitch * static_cast<std::size_t>(n));
  Written_ += count;
  return true;
}

bool TPngWriter::Finish() {
  if (!Ok_ || Written_ != Height_) return Ok_ = false;
  png_structp png = State_->Png;
  if (setjmp(png_jmpbuf(png))) return Ok_ = false;
  png_write_end(png, nullptr);
  return true;
}
