// x-picture match PID REFERENCE.png [SECONDS [SEEN.png]]: watches the viewer
// window of process PID on $DISPLAY for up to SECONDS (default 600) until it
// shows the picture in REFERENCE.png: at least 99.5 % of its pixels within 2
// of the reference in each of R, G and B (rasterisers differ in the last bits;
// the camera one step on moves far more). Status 0 once it did, 1 if it never
// did or the viewer ended (the closest picture seen goes to SEEN.png, if
// given), 2 on bad arguments. Scripts use it to check that a viewer shows what
// `voxeltool shot` took.
#include <charconv>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <thread>

#include "gpu/Image.h"
#include "platform/GlfwPlatform.h"
#include "tests/support/Pixel.h"
#include "tests/support/TempDir.h"
#include "tests/support/WindowPicture.h"
#include "tests/support/XInput.h"

namespace {

constexpr double kShareNeeded = 0.995;

// The share of the reference's pixels that the picture shows within tolerance.
double NearShare(const TWindowPicture& picture, const TImage& reference) {
  if (picture.Width != reference.Width || picture.Height != reference.Height) return 0.0;
  long near = 0;
  for (int y = 0; y < picture.Height; ++y) {
    for (int x = 0; x < picture.Width; ++x) {
      const std::uint8_t* seen = picture.PixelAt(x, y);
      const std::uint8_t* wanted = reference.PixelAt(x, y);
      near += Near({seen[0], seen[1], seen[2], 255}, {wanted[0], wanted[1], wanted[2], 255});
    }
  }
  return static_cast<double>(near) / (static_cast<double>(picture.Width) * picture.Height);
}

void Save(const TWindowPicture& picture, const std::string& path) {
  TImage image;
  image.Width = picture.Width;
  image.Height = picture.Height;
  image.Pixels.resize(static_cast<std::size_t>(image.Width) * image.Height * 4, 255);
  for (std::size_t n = 0; n < static_cast<std::size_t>(image.Width) * image.Height; ++n) {
    for (int c = 0; c < 3; ++c) image.Pixels[4 * n + c] = picture.Rgb[3 * n + c];
  }
  if (!image.SavePng(path)) std::fprintf(stderr, "x-picture: cannot write %s\n", path.c_str());
}

}  // namespace

int main(int argc, char** argv) {
  const std::string command = argc > 1 ? argv[1] : "";
  int pid = 0;
  const std::string pidText = argc > 2 ? argv[2] : "";
  const bool pidOk = std::from_chars(pidText.data(), pidText.data() + pidText.size(), pid).ptr ==
                         pidText.data() + pidText.size() &&
                     pid > 0;
  const double seconds = argc > 4 ? std::atof(argv[4]) : 600.0;
  if (command != "match" || !pidOk || argc < 4 || argc > 6 || seconds <= 0.0) {
    std::fputs("usage: x-picture match PID REFERENCE.png [SECONDS [SEEN.png]]\n", stderr);
    return 2;
  }
  const std::optional<TImage> reference = TImage::LoadPng(argv[3]);
  if (!reference) {
    std::fprintf(stderr, "x-picture: cannot read %s\n", argv[3]);
    return 2;
  }
  const auto alive = [pid] {
    const std::string stat = ReadFileBytes("/proc/" + std::to_string(pid) + "/stat");
    const std::size_t state = stat.rfind(") ");
    return state != std::string::npos && stat.compare(state + 2, 1, "Z") != 0;
  };
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
  const std::string window = TXInput::FindWindow(pid, TGlfwPlatform::WINDOW_TITLE, seconds, alive);
  double best = 0.0;
  std::optional<TWindowPicture> closest;
  int pictures = 0;
  while (!window.empty() && alive() && std::chrono::steady_clock::now() < deadline) {
    if (std::optional<TWindowPicture> picture = TWindowPicture::Capture(window)) {
      ++pictures;
      const double share = NearShare(*picture, *reference);
      if (share >= kShareNeeded) {
        std::printf("x-picture: picture %d of the window matches: %.2f %% of its pixels\n",
                    pictures, 100.0 * share);
        return 0;
      }
      if (share >= best) {
        best = share;
        closest = std::move(picture);
      }
    }
    // Each frame stays on screen for a sixtieth of a second or more.
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  std::fprintf(stderr,
               "x-picture: %s; of %d pictures of its window the closest matched %.2f %% of the "
               "pixels, not %.1f %%\n",
               window.empty() ? "no viewer window"
               : alive()      ? "timed out"
                              : "the viewer ended",
               pictures, 100.0 * best, 100.0 * kShareNeeded);
  if (closest && argc > 5) Save(*closest, argv[5]);
  return 1;
}
