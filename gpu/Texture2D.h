#pragma once

#include <cstdint>
#include <memory>
#include <string>

// One OpenGL 2-D texture made from an image file, with a full mipmap chain.
// Textures are never deleted: both atlases live until the program ends.
class TTexture2D {
 public:
  std::int32_t GLName = 0;  // 0 = no texture
  std::int32_t Width = 0;   // of the image as read, before any power-of-two adjustment
  std::int32_t Height = 0;
  std::string Path;  // empty for a texture made by New

  virtual ~TTexture2D() = default;

  static std::shared_ptr<TTexture2D> New() { return std::make_shared<TTexture2D>(); }
  // Null when the image cannot be read or decoded; no OpenGL call is made then.
  // Needs a current context. Ends the program with "Unable to calculate tex size"
  // if the driver accepts no texture size down to 1 x 1.
  static std::shared_ptr<TTexture2D> Load(const std::string& path);

  // Binds GLName to GL_TEXTURE_2D of the active unit; nothing else.
  virtual void SetState();
  // Binds texture name 0 to GL_TEXTURE_2D of the active unit.
  virtual void UnsetState();
};
