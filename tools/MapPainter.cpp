#include "tools/MapPainter.h"

#include <algorithm>
#include <cmath>

#include "blocks/BlockClass.h"
#include "world/Chunk.h"

namespace {

constexpr int kTopFace = 4;

// Towards the light: from the north-west (-x, -z, the map's top left), 45
// degrees above the horizon, as hill shading is read by habit.
constexpr float kLightX = -0.5f;
constexpr float kLightY = 0.70710678f;
constexpr float kLightZ = -0.5f;
// Slopes facing away from the light stay readable; cliffs towards it do not
// wash out.
constexpr float kDarkest = 0.3f;
constexpr float kBrightest = 1.5f;

// Texel indices [First, Last) that nearest filtering reads for texture
// coordinates [start, start + FACE_STEP) on a side of `size` texels; at least
// one, for atlases smaller than 16 texels a side.
struct TTexelRange {
  long long First, Last;
};

TTexelRange TexelsOf(float start, int size) {
  const double a = static_cast<double>(start) * size;
  const double b = (static_cast<double>(start) + TBlockClass::FACE_STEP) * size;
  const auto first = static_cast<long long>(std::floor(a));
  return {first, std::max(first + 1, static_cast<long long>(std::ceil(b)))};
}

// Repeat wrapping: texel n of a side of `size` texels, for any n.
int Wrap(long long n, int size) {
  const long long m = n % size;
  return static_cast<int>(m < 0 ? m + size : m);
}

}  // namespace

TMapPainter::TMapPainter(const TImage* atlas) {
  for (int id = 0; id < 256; ++id) {
    const TBlockClass& cls = TBlockClass::Lookup(id);
    TopColours_[static_cast<std::size_t>(id)] =
        atlas ? TileMean(*atlas, cls.FaceU[kTopFace], cls.FaceV[kTopFace]) : TRgb{255, 255, 255};
  }
}

TMapPainter::TRgb TMapPainter::TileMean(const TImage& atlas, float u, float v) {
  const TTexelRange xs = TexelsOf(u, atlas.Width);
  const TTexelRange ys = TexelsOf(v, atlas.Height);
  double sum[3] = {};
  for (long long y = ys.First; y < ys.Last; ++y) {
    for (long long x = xs.First; x < xs.Last; ++x) {
      const std::uint8_t* p = atlas.PixelAt(Wrap(x, atlas.Width), Wrap(y, atlas.Height));
      for (int c = 0; c < 3; ++c) sum[c] += p[c];
    }
  }
  const auto count = static_cast<double>((xs.Last - xs.First) * (ys.Last - ys.First));
  TRgb mean{};
  for (int c = 0; c < 3; ++c) mean[c] = static_cast<std::uint8_t>(std::lround(sum[c] / count));
  return mean;
}

float TMapPainter::Shade(const int (&height)[3][3]) {
  // Slopes in blocks of height per block, across 3 x 3 columns (Sobel), so
  // that the single steps of voxel ground shade smoothly.
  const auto& h = height;
  const float gx =
      static_cast<float>((h[0][2] + 2 * h[1][2] + h[2][2]) - (h[0][0] + 2 * h[1][0] + h[2][0])) /
      8.0f;
  const float gz =
      static_cast<float>((h[2][0] + 2 * h[2][1] + h[2][2]) - (h[0][0] + 2 * h[0][1] + h[0][2])) /
      8.0f;
  // The ground's normal is (-gx, 1, -gz); the factor is its cosine with the
  // light relative to that of level ground.
  const float length = std::sqrt(gx * gx + 1.0f + gz * gz);
  const float factor = (-gx * kLightX + kLightY - gz * kLightZ) / (length * kLightY);
  return std::clamp(factor, kDarkest, kBrightest);
}

void TMapPainter::Paint(const TChunk& chunk, std::uint8_t* out, std::size_t pitch) const {
  for (int z = 0; z < SIDE; ++z) {
    std::uint8_t* row = out + pitch * static_cast<std::size_t>(z);
    for (int x = 0; x < SIDE; ++x) {
      std::uint8_t* pixel = row + 4 * x;
      const int i = x + 2;
      const int k = z + 2;
      // Height is 0 both for an empty column and for one whose only block is
      // at y = 0; the cell tells them apart.
      const int top = chunk.Height[i][k];
      const int id = chunk.VoxelData[i][top][k];
      if (id == 0) {
        std::fill_n(pixel, 4, std::uint8_t{0});
        continue;
      }
      int heights[3][3];
      for (int dz = -1; dz <= 1; ++dz) {
        for (int dx = -1; dx <= 1; ++dx) heights[dz + 1][dx + 1] = chunk.Height[i + dx][k + dz];
      }
      const float factor = Shade(heights);
      const TRgb& colour = TopColour(id);
      for (int c = 0; c < 3; ++c) {
        const long shaded = std::lround(static_cast<float>(colour[c]) * factor);
        pixel[c] = static_cast<std::uint8_t>(std::min(shaded, 255L));
      }
      pixel[3] = 255;
    }
  }
}
