#include "tools/AtlasImages.h"

#include <utility>
#include <vector>

#include "blocks/BlockClass.h"
#include "blocks/DataFolder.h"

TAtlasImages TAtlasImages::Load() {
  return {LoadTexture(TDataFolder::PathOf(TBlockClass::TEXTURE_PATH)),
          LoadTexture(TDataFolder::PathOf(TBlockClass::AO_PATH))};
}

std::optional<TImage> TAtlasImages::LoadTexture(const std::string& path) {
  std::optional<TImage> image = TImage::LoadPng(path);
  if (!image) return std::nullopt;
  // Decoded images are at most 8192 a side, which drivers of this decade take
  // whole: only the rounding up to powers of two applies.
  std::vector<TImage> levels =
      TImage::TextureLevels(std::move(*image), [](int, int) { return true; });
  return std::move(levels.front());
}
