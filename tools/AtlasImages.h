#pragma once

#include <optional>
#include <string>

#include "gpu/Image.h"

// The atlas files of the data folder (TDataFolder) as the viewer's textures hold them
// (level 0): decoded as TTexture2D::Load decodes them, and resampled to powers
// of two as TImage::TextureLevels does. A file the viewer cannot load is
// nullopt: the viewer then draws without that texture, and so do the tools.
struct TAtlasImages {
  std::optional<TImage> Faces;  // Texture.png, texture unit 0
  std::optional<TImage> AO;     // AO.png, texture unit 1

  // Reads TBlockClass::TEXTURE_PATH and TBlockClass::AO_PATH in TDataFolder.
  static TAtlasImages Load();
  static std::optional<TImage> LoadTexture(const std::string& path);
};
