// voxeltool atlas [--out DIR]: paints Texture.png and AO.png into DIR (default:
// the working directory, created if missing). The output depends on nothing
// but this program, so the committed data/ files can be checked against it.
#include <CLI/CLI.hpp>

#include <cstdio>
#include <filesystem>
#include <string>
#include <system_error>

#include "tools/AOAtlasPainter.h"
#include "tools/Commands.h"
#include "tools/TextureAtlasPainter.h"

namespace {

bool Save(const TImage& image, const std::filesystem::path& path) {
  if (image.SavePng(path.string())) return true;
  std::fprintf(stderr, "voxeltool atlas: cannot write %s\n", path.string().c_str());
  return false;
}

int RunAtlas(const std::filesystem::path& out) {
  std::error_code error;
  std::filesystem::create_directories(out, error);
  if (!Save(TTextureAtlasPainter::Paint(), out / "Texture.png")) return 1;
  if (!Save(TAOAtlasPainter::Paint(), out / "AO.png")) return 1;
  return 0;
}

}  // namespace

void AddAtlasCommand(CLI::App& tool, int& status) {
  CLI::App* command = tool.add_subcommand("atlas", "paint the atlases Texture.png and AO.png");
  command->footer(
      "Paints the face atlas Texture.png (16 x 16 tiles of 16 px) and the ambient-occlusion\n"
      "atlas AO.png (16 x 16 tiles of 32 px, tile m for occlusion mask m) that data/ ships.\n"
      "The painting is deterministic.");
  auto out = std::make_shared<std::string>(".");
  command->add_option("--out", *out, "folder to write them into, created if missing")
      ->type_name("DIR")
      ->capture_default_str();
  command->callback([out, &status] { status = RunAtlas(*out); });
}
