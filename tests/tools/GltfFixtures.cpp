#include "tests/tools/GltfFixtures.h"

#include <nlohmann/json.hpp>
#include <span>

#include "gpu/Image.h"
#include "tests/support/Process.h"

namespace {

bool DecodeImage(tinygltf::Image* image, const int, std::string* error, std::string*, int, int,
                 const unsigned char* bytes, int size, void*) {
  const std::optional<TImage> decoded =
      TImage::DecodePng(std::span(bytes, static_cast<std::size_t>(size)));
  if (!decoded) {
    *error = "an embedded image is not a PNG that the viewer decodes";
    return false;
  }
  image->width = decoded->Width;
  image->height = decoded->Height;
  image->component = 4;
  image->bits = 8;
  image->pixel_type = TINYGLTF_COMPONENT_TYPE_UNSIGNED_BYTE;
  image->image = decoded->Pixels;
  return true;
}

}  // namespace

TValidation Validate(const std::string& path) {
  TValidation validation;
  TProcessOptions options;
  options.TimeoutSeconds = 120.0;
  const TProcessResult result =
      RunProcess({VX_NODE, VX_VALIDATE_GLTF, VX_GLTF_VALIDATOR_DIR, path}, options);
  validation.Report = result.Stdout + result.Stderr;
  if (result.ExitCode != 0 && result.ExitCode != 1) return validation;
  const auto report = nlohmann::json::parse(result.Stdout, nullptr, false);
  if (report.is_discarded()) return validation;
  const auto& issues = report.at("issues");
  validation.Errors = issues.at("numErrors").get<int>();
  validation.Warnings = issues.at("numWarnings").get<int>();
  validation.Infos = issues.at("numInfos").get<int>();
  for (const auto& message : issues.at("messages")) validation.Codes.insert(message.at("code"));
  validation.Ran = true;
  return validation;
}

std::optional<tinygltf::Model> LoadGlb(const std::string& path, std::string& error) {
  tinygltf::TinyGLTF loader;
  loader.SetImageLoader(DecodeImage, nullptr);
  tinygltf::Model model;
  std::string warning;
  if (!loader.LoadBinaryFromFile(&model, &error, &warning, path)) return std::nullopt;
  return model;
}
