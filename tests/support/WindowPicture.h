#pragma once

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

  const std::uint8_t* PixelAt(int x, int y) const {
    return &Rgb[(static_cast<std::size_t>(y) * Width + x) * 3];
  }
};
