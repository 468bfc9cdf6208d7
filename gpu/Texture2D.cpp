#include "gpu/Texture2D.h"

#include <GL/glew.h>

#include "gpu/Image.h"
#include "platform/FatalError.h"

namespace {

// Whether the driver can hold a w x h RGBA texture, asked through the proxy target.
bool DriverAccepts(int width, int height) {
  glTexImage2D(GL_PROXY_TEXTURE_2D, 0, 4, width, height, 0, GL_RGBA, GL_UNSIGNED_BYTE, nullptr);
  GLint acceptedWidth = 0;
  glGetTexLevelParameteriv(GL_PROXY_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &acceptedWidth);
  return acceptedWidth != 0;
}

}  // namespace

std::shared_ptr<TTexture2D> TTexture2D::Load(const std::string& path) {
  std::optional<TImage> image = TImage::LoadPng(path);
  if (!image) return nullptr;

  auto texture = New();
  texture->Width = image->Width;
  texture->Height = image->Height;
  texture->Path = path;

  const std::vector<TImage> levels = TImage::TextureLevels(std::move(*image), DriverAccepts);
  if (levels.empty()) FatalError("Unable to calculate tex size");

  GLint previousBinding = 0, previousRowLength = 0;
  glGetIntegerv(GL_TEXTURE_BINDING_2D, &previousBinding);
  glGetIntegerv(GL_UNPACK_ROW_LENGTH, &previousRowLength);
  GLuint name = 0;
  glGenTextures(1, &name);
  texture->GLName = static_cast<std::int32_t>(name);
  glBindTexture(GL_TEXTURE_2D, name);

  for (std::size_t mip = 0; mip < levels.size(); ++mip) {
    const TImage& level = levels[mip];
    glPixelStorei(GL_UNPACK_ROW_LENGTH, level.Width);
    glTexImage2D(GL_TEXTURE_2D, static_cast<GLint>(mip), GL_RGBA8, level.Width, level.Height, 0,
                 GL_RGBA, GL_UNSIGNED_BYTE, level.Pixels.data());
  }

  glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(previousBinding));
  glPixelStorei(GL_UNPACK_ROW_LENGTH, previousRowLength);
  return texture;
}

void TTexture2D::SetState() {
  glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(GLName));
}

void TTexture2D::UnsetState() {
  glBindTexture(GL_TEXTURE_2D, 0);
}
