#pragma once

#include <cstdint>
#include <cstdio>
#include <memory>

// Writes an 8-bit RGBA PNG to an open file a few rows at a time, so a picture
// of any height needs only the rows in hand. libpng's errors never end the
// program: they make the writer fail, and every later call does nothing.
// The file's bytes depend on the libpng and zlib builds that write it, not only
// on the pixels and the compression level: compare decoded pixels, not files.
class TPngWriter {
 public:
  // The largest width and height libpng writes by default (its user limits,
  // which its readers apply too).
  static constexpr int MAX_DIMENSION = 1000000;

  // Writes the header of a width x height picture (1..MAX_DIMENSION each);
  // compression level 0..9 as zlib takes it.
  TPngWriter(std::FILE* file, int width, int height, int compressionLevel);
  ~TPngWriter();
  TPngWriter(const TPngWriter&) = delete;
  TPngWriter& operator=(const TPngWriter&) = delete;

  // Writes the next `count` rows from `rows`, top row first, each Width * 4
  // bytes (R, G, B, A), one after the other. False once anything has failed.
  bool WriteRows(const std::uint8_t* rows, int count);
  // Ends the file after the last row. False if anything failed or rows are
  // missing; the file is not closed.
  bool Finish();
  bool Ok() const { return Ok_; }

 private:
  struct TState;
  std::unique_ptr<TState> State_;
  int Width_;
  int Height_;
  int Written_ = 0;
  bool Ok_ = false;
};
