// voxeltool map: a picture of a region seen from above, one pixel per block
// column, built with the viewer's own generation on all cores and written as
// a PNG a band of 32 pixel rows at a time.
#include <CLI/CLI.hpp>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "blocks/BlockClass.h"
#include "blocks/DataFolder.h"
#include "blocks/LuaHandler.h"
#include "gpu/PngWriter.h"
#include "tools/AtlasImages.h"
#include "tools/ChunkFarm.h"
#include "tools/ChunkRegion.h"
#include "tools/Commands.h"
#include "tools/DataPack.h"
#include "tools/MapPainter.h"
#include "tools/OutputFile.h"
#include "tools/ProgressBar.h"
#include "world/Chunk.h"
#include "world/Noise.h"
#include "world/TerrainGenerator.h"

namespace {

constexpr int kSide = TMapPainter::SIDE;
// The noisy shading of a map leaves zlib little to find: on a 2048 x 2048 map
// level 3 gave a file 3 % smaller than level 6 and 9 in under half the time of
// 6 and a ninth of 9. The writing thread then keeps up with the workers.
constexpr int kCompressionLevel = 3;

using TTile = std::vector<std::uint8_t>;  // TMapPainter::TILE_BYTES

// The pixels of chunk (x, z). Of generation only the passes whose arrays the
// painter reads run: terrain, heights and top soil, not light.
TTile BuildTile(const TMapPainter& painter, int x, int z) {
  thread_local TTerrainGenerator generator;
  const std::shared_ptr<TChunk> chunk = TChunk::NewUnregistered(x, z);
  generator.Generate(x, z, chunk->VoxelData);
  chunk->ComputeHeights();
  chunk->PlaceTopSoil();
  TTile tile(TMapPainter::TILE_BYTES);
  painter.Paint(*chunk, tile.data(), kSide * 4);
  return tile;
}

void RunMap(const TChunkRegion& region, const std::string& path) {
  // Script errors end the command here, as they end the viewer, before any
  // file exists.
  TDataPack::Use("voxeltool map");
  TLuaHandler::Init();
  const std::string texture = TDataFolder::PathOf(TBlockClass::TEXTURE_PATH);
  const std::optional<TImage> atlas = TAtlasImages::LoadTexture(texture);
  if (!atlas)
    std::fprintf(stderr,
                 "voxeltool map: %s cannot be read: faces are drawn untextured (white), as the "
                 "viewer draws them\n",
                 texture.c_str());
  const TMapPainter painter(atlas ? &*atlas : nullptr);
  CreateNoiseTables();

  const int width = static_cast<int>(region.Width() * kSide);
  const int height = static_cast<int>(region.Depth() * kSide);
  TOutputFile output(path);
  errno = 0;
  TPngWriter png(output.Stream(), width, height, kCompressionLevel);

  // The workers may run a whole band ahead, so they go on while a finished
  // band is compressed.
  const int threads = static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
  TChunkFarm<TTile> farm(region, threads, region.Width() + 2 * threads,
                         [&painter](int x, int z) { return BuildTile(painter, x, z); });
  const std::size_t pitch = static_cast<std::size_t>(width) * 4;
  std::vector<std::uint8_t> band(pitch * kSide);
  TProgressBar progress;
  long long done = 0;
  while (const std::optional<TTile> tile = farm.Next()) {
    const auto column = static_cast<std::size_t>(done % region.Width());
    for (int row = 0; row < kSide; ++row) {
      std::memcpy(&band[pitch * row + column * kSide * 4], &(*tile)[row * kSide * 4], kSide * 4);
    }
    ++done;
    if (done % region.Width() == 0 && !png.WriteRows(band.data(), kSide)) output.Fail(errno);
    progress.Show("map", done, farm.Count());
  }
  if (!png.Finish()) output.Fail(errno);
  output.Commit();
  progress.Clear();
}

}  // namespace

void AddMapCommand(CLI::App& tool, int& status) {
  CLI::App* command =
      tool.add_subcommand("map", "draw a region of the world from above into a PNG file");
  command->footer(
      "One pixel per block column: pixel (px, py) shows world column (32 * X0 + px, 32 * Z0 + "
      "py),\n"
      "so x grows to the right and z downwards. A column shows the mean colour of the atlas tile\n"
      "on the top face of its highest block, as Blocks.lua and Texture.png define it, shaded\n"
      "by the slope around it (light from the top left); a column without blocks is transparent.\n"
      "Chunks are generated on all cores; the picture is written 32 rows at a time, so memory\n"
      "stays below about 12 MB, plus 1 MB per core, plus 8 KiB per chunk of the region's width,\n"
      "however deep the region. The file appears only when complete; a failure or Ctrl-C\n"
      "leaves the old one. PNG files hold at most 1000000 pixels a side, so a region is at most\n"
      "31250 chunks wide and deep.");
  auto region = std::make_shared<TChunkRegion>();
  auto out = std::make_shared<std::string>();
  region->AddOptions(*command);
  command->add_option("--out", *out, "the PNG file to write, - for standard output")
      ->required()
      ->type_name("FILE.png");
  command->callback([region, out, &status] {
    region->CheckOrder();
    constexpr long long kMaxChunks = TPngWriter::MAX_DIMENSION / kSide;
    if (region->Width() > kMaxChunks || region->Depth() > kMaxChunks)
      throw CLI::ValidationError(
          "--to",
          "the map would be " + std::to_string(region->Width() * kSide) + " x " +
              std::to_string(region->Depth() * kSide) + " pixels; a PNG file holds at most " +
              std::to_string(TPngWriter::MAX_DIMENSION) + " a side, so a region is at most " +
              std::to_string(kMaxChunks) + " chunks wide and deep");
    RunMap(*region, *out);
    status = 0;
  });
}
