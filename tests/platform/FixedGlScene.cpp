#include "tests/platform/FixedGlScene.h"

#include <cmath>

namespace {

// A colourful 16 x 16 atlas and a 32 x 32 grey occlusion-like mask; neither a
// power of two in every level's rows, so the row length matters.
TImage Painted(int width, int height, bool grey) {
  TImage image;
  image.Width = width;
  image.Height = height;
  image.Pixels.resize(static_cast<std::size_t>(width) * height * 4);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      std::uint8_t* p = image.PixelAt(x, y);
      const int checker = ((x / 2 + y / 2) % 2) * 60;
      if (grey) {
        const auto level = static_cast<std::uint8_t>(120 + checker + (x * 3) % 64);
        p[0] = p[1] = p[2] = level;
      } else {
        p[0] = static_cast<std::uint8_t>(80 + checker + x * 7);
        p[1] = static_cast<std::uint8_t>(70 + checker + y * 9);
        p[2] = static_cast<std::uint8_t>(255 - checker - x * 5);
      }
      p[3] = 255;
    }
  }
  return image;
}

}  // namespace

TFixedGlScene::TFixedGlScene() : Atlas(Painted(16, 16, false)), Occlusion(Painted(32, 32, true)) {
  Camera = TCamera::Create();
  Camera->SetViewport(0, 0, WIDTH, HEIGHT);
  Camera->SetRange(0.1f, 100.0f);
  Layout = TMesh::New();

  // Quads in the patch's x-y plane facing +Z, wound clockwise as seen from
  // there like every face the program makes. Each corner has a colour of its
  // own, so how a quad is split shows; normals lean and vary in length, which
  // shows whether they are renormalised.
  constexpr int n = PATCH_QUADS;
  PatchRecords.resize(static_cast<std::size_t>(n) * n * 4 * 52);
  std::uint8_t* record = PatchRecords.data();
  const int corners[4][2] = {{0, 1}, {1, 1}, {1, 0}, {0, 0}};
  for (int qy = 0; qy < n; ++qy) {
    for (int qx = 0; qx < n; ++qx) {
      for (int c = 0; c < 4; ++c) {
        const int x = qx + corners[c][0], y = qy + corners[c][1];
        const int k = (qy * n + qx) * 4 + c;
        const float length = 0.75f + 0.5f * static_cast<float>((k * 37) % 11) / 10.0f;
        const float nx = 0.5f * std::sin(0.7f * static_cast<float>(x + 2 * y));
        const float ny = 0.4f * std::cos(0.9f * static_cast<float>(x - y));
        const float norm = std::sqrt(nx * nx + ny * ny + 1.0f);
        record = Layout->RenderVertexIntoBuffer(
            record, static_cast<float>(x - n / 2), static_cast<float>(y - n / 2), 0.0f,
            nx / norm * length, ny / norm * length, length / norm, static_cast<float>(x) / n,
            static_cast<float>(y) / n, 0.0f, static_cast<std::uint8_t>((k * 97) % 256),
            static_cast<std::uint8_t>((k * 61 + 40) % 256),
            static_cast<std::uint8_t>((k * 23 + 128) % 256), 255, 2.0f * x / n, 2.0f * y / n, 0.0f);
      }
    }
  }
  CubeRecords.resize(24 * 52);
  Layout->RenderCubeIntoBuffer(CubeRecords.data(), -0.5f, -0.5f, -0.5f);
  for (std::uint16_t i = 0; i < 24; ++i) CubeIndices.push_back(i);

  Patch.Locate(-0.5f, -0.3f, -7.5f);
  Patch.Rotate(-20.0f, 25.0f, 10.0f);
  Patch.Scale(0.9f, 0.75f, 1.3f);
  Cube.Locate(2.2f, 1.4f, -4.5f);
  Cube.Rotate(30.0f, 40.0f, 0.0f);
  Cube.Scale(1.4f, 1.4f, 1.4f);
}
