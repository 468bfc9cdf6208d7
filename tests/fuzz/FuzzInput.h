#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <span>

// A fuzz input read from the front. Past the end every byte reads as 0, so a
// harness takes what it needs without checking the length; what the input
// holds only chooses among paths, it never makes a read fail.
class TFuzzInput {
 public:
  TFuzzInput(const std::uint8_t* data, std::size_t size) : Data_(data), Size_(size) {}

  bool Done() const { return At_ >= Size_; }
  std::uint8_t Byte() { return At_ < Size_ ? Data_[At_++] : 0; }
  // Two bytes, big-endian.
  std::uint16_t Word() {
    const std::uint8_t high = Byte();
    return static_cast<std::uint16_t>(high << 8 | Byte());
  }
  // The bits of a double, eight bytes big-endian: any value, NaN and infinities included.
  double Double() {
    std::uint64_t bits = 0;
    for (int i = 0; i < 8; ++i) bits = bits << 8 | Byte();
    double value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
  }
  // The bytes not read yet.
  std::span<const std::uint8_t> Rest() const {
    return At_ < Size_ ? std::span(Data_ + At_, Size_ - At_) : std::span<const std::uint8_t>();
  }

 private:
  const std::uint8_t* Data_;
  std::size_t Size_;
  std::size_t At_ = 0;
};
