// voxeltool atlas [--out DIR]: paints Texture.png and AO.png into DIR (default:
// the working directory, created if missing). The output depends on nothing
// but this program, so the committed data/ files can be checked against it.
#include <CLI/CLI.hpp>

#include <filesystem>
#include <string>
#include <system_error>

#include "tools/AOAtlasPainter.h"
#include "tools/Commands.h"
#include "tools/PngFile.h"
#include "tools/TextureAtlasPainter.h"

namespace {

// Each file is replaced whole or left as it was (see TOutputFile); when
// Texture.png cannot be written, AO.png is not touched.
void RunAtlas(const std::filesystem::path& out) {
  if (out == "-")
    throw CLI::ValidationError(
        "--out", "standard output cannot hold two files; name a folder (./- for one named -)");
  std::error_code error;
  std::filesystem::create_directories(out, error);
  WritePngFile(TTextureAtlasPainter::Paint(), out / "Texture.png");
  WritePngFile(TAOAtlasPainter::Paint(), out / "AO.png");
}

}  // namespace

void AddAtlasCommand(CLI::App& tool, int& status) {
  CLI::App* command = tool.add_subcommand("atlas", "paint the atlases Texture.png and AO.png");
  command->footer(
      "Paints the face atlas Texture.png (16 x 16 tiles of 16 px) and the ambient-occlusion\n"
      "atlas AO.png (16 x 16 tiles of 32 px, tile m for occlusion mask m) that data/ ships.\n"
      "The painting is deterministic. Each file appears only when complete; a failure or\n"
      "Ctrl-C leaves the old one.");
  auto out = std::make_shared<std::string>(".");
  command->add_option("--out", *out, "folder to write them into, created if missing")
      ->type_name("DIR")
      ->capture_default_str();
  command->callback([out, &status] {
    RunAtlas(*out);
    status = 0;
  });
}
