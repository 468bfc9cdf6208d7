#pragma once

#include <cassert>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// What an X11 window shows at the moment, 8-bit R, G, B per pixel, rows from
// the top. Read from the X server, so it is what a user would see (without a
// compositor, whatever covers the window is read too).
class TWindowPicture {
 public:
  int Width = 0;
  int Height = 0;
  std::vector<std::uint8_t> Rgb;  // Width * Height * 3 bytes

  // Nothing if the window does not exist or is not viewable.
  static std::optional<TWindowPicture> Capture(const std::string& windowId);

  // The R byte of pixel (x, y), 0 <= x < Width, 0 <= y < Height, from the top left.
  const std::uint8_t* PixelAt(int x, int y) const {
    assert(x >= 0 && x < Width && y >= 0 && y < Height);
    return &Rgb[(static_cast<std::size_t>(y) * Width + x) * 3];
  }
};
