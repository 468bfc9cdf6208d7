// voxeltool atlas [--out DIR]: paints Texture.png and AO.png into DIR (default:
// the working directory, created if missing). The output depends on nothing
// but this program, so the committed data/ files can be checked against it.
#include <cstdio>
#include <filesystem>
#include <string>
#include <system_error>

#include "tools/AOAtlasPainter.h"
#include "tools/Commands.h"
#include "tools/TextureAtlasPainter.h"

namespace {

int Usage() {
  std::fputs("usage: voxeltool atlas [--out DIR]\n", stderr);
  return 2;
}

bool Save(const TImage& image, const std::filesystem::path& path) {
  if (image.SavePng(path.string())) return true;
  std::fprintf(stderr, "voxeltool atlas: cannot write %s\n", path.string().c_str());
  return false;
}

}  // namespace

int RunAtlasCommand(const std::vector<std::string>& args) {
  std::filesystem::path out = ".";
  if (args.size() == 2 && args[0] == "--out") {
    out = args[1];
  } else if (!args.empty()) {
    return Usage();
  }
  std::error_code error;
  std::filesystem::create_directories(out, error);
  if (!Save(TTextureAtlasPainter::Paint(), out / "Texture.png")) return 1;
  if (!Save(TAOAtlasPainter::Paint(), out / "AO.png")) return 1;
  return 0;
}
