#include "tests/support/WindowPicture.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <cstdlib>
#include <memory>

namespace {

struct TDisplayCloser {
  void operator()(Display* display) const { XCloseDisplay(display); }
};
struct TImageDestroyer {
  void operator()(XImage* image) const { XDestroyImage(image); }
};

int IgnoreXError(Display*, XErrorEvent*) {
  return 0;
}

// The 8-bit value of the channel `mask` selects in `pixel`.
std::uint8_t Channel(unsigned long pixel, unsigned long mask) {
  if (mask == 0) return 0;
  int shift = 0;
  while (((mask >> shift) & 1) == 0) ++shift;
  const unsigned long max = mask >> shift;
  return static_cast<std::uint8_t>(((pixel & mask) >> shift) * 255 / max);
}

}  // namespace

std::optional<TWindowPicture> TWindowPicture::Capture(const std::string& windowId) {
  std::unique_ptr<Display, TDisplayCloser> display(XOpenDisplay(nullptr));
  if (!display) return std::nullopt;
  // A window that went away must give nothing, not end the test.
  XSetErrorHandler(IgnoreXError);
  const Window window = std::strtoul(windowId.c_str(), nullptr, 0);
  XWindowAttributes attributes{};
  if (!XGetWindowAttributes(display.get(), window, &attributes) ||
      attributes.map_state != IsViewable) {
    return std::nullopt;
  }
  std::unique_ptr<XImage, TImageDestroyer> image(
      XGetImage(display.get(), window, 0, 0, static_cast<unsigned>(attributes.width),
                static_cast<unsigned>(attributes.height), AllPlanes, ZPixmap));
  if (!image) return std::nullopt;
  TWindowPicture picture;
  picture.Width = attributes.width;
  picture.Height = attributes.height;
  picture.Rgb.reserve(static_cast<std::size_t>(picture.Width) * picture.Height * 3);
  for (int y = 0; y < picture.Height; ++y) {
    for (int x = 0; x < picture.Width; ++x) {
      const unsigned long pixel = XGetPixel(image.get(), x, y);
      picture.Rgb.push_back(Channel(pixel, image->red_mask));
      picture.Rgb.push_back(Channel(pixel, image->green_mask));
      picture.Rgb.push_back(Channel(pixel, image->blue_mask));
    }
  }
  return picture;
}
