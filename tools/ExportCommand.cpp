// voxeltool export: the chunks of a region as the viewer draws them, in a
// glTF 2.0 binary file (see tools/GlbWriter.h for what it holds).
#include <CLI/CLI.hpp>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <thread>

#include "blocks/BlockClass.h"
#include "blocks/DataFolder.h"
#include "blocks/LuaHandler.h"
#include "tools/AtlasImages.h"
#include "tools/ChunkFarm.h"
#include "tools/ChunkRegion.h"
#include "tools/Commands.h"
#include "tools/DataPack.h"
#include "tools/GlbWriter.h"
#include "tools/OutputFile.h"
#include "tools/ProgressBar.h"
#include "world/Chunk.h"
#include "world/Noise.h"

namespace {

// Chunks take 0.5 to 2 MB each in the file, so a GLB's 4 GiB hold a few
// thousand; a larger region is refused at once rather than after hours.
constexpr long long kMaxChunks = 4096;

TGlbWriter::TChunkMesh BuildMesh(int x, int z) {
  const std::shared_ptr<TChunk> chunk = TChunk::NewUnregistered(x, z);
  chunk->GenerateData();
  chunk->BuildVertexData();
  return TGlbWriter::ConvertChunk(*chunk);
}

void NoteMissingAtlas(const char* name, const char* role) {
  std::fprintf(stderr,
               "voxeltool export: %s cannot be read: the material has no %s, as the viewer draws "
               "without it\n",
               TDataFolder::PathOf(name).c_str(), role);
}

// Returns the exit status.
int RunExport(const TChunkRegion& region, const std::string& path) {
  // Script errors end the command here, as they end the viewer, before any
  // file exists.
  TDataPack::Use("voxeltool export");
  TLuaHandler::Init();
  TBlockClass::PrecalcAOCoordinates();
  const TAtlasImages atlases = TAtlasImages::Load();
  if (!atlases.Faces) NoteMissingAtlas(TBlockClass::TEXTURE_PATH, "base colour texture");
  if (!atlases.AO) NoteMissingAtlas(TBlockClass::AO_PATH, "occlusion texture");
  CreateNoiseTables();

  // The file's index comes first and is written last.
  TOutputFile output(path, TOutputFile::TOrder::Seeking);
  try {
    TGlbWriter glb(output.Stream(), static_cast<std::uint64_t>(region.Count()));
    glb.SetAtlases(atlases.Faces ? &*atlases.Faces : nullptr, atlases.AO ? &*atlases.AO : nullptr);
    // A window of two chunks per thread keeps the workers busy while one
    // chunk's bytes are written; memory holds a few chunks, never the region.
    const int threads = static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
    TChunkFarm<TGlbWriter::TChunkMesh> farm(region, threads, 2 * threads, BuildMesh);
    TProgressBar progress;
    long long done = 0;
    while (const std::optional<TGlbWriter::TChunkMesh> mesh = farm.Next()) {
      glb.AddChunk(*mesh);
      progress.Show("export", ++done, farm.Count());
    }
    progress.Clear();
    glb.Finish();
  } catch (const TGlbWriter::TTooLarge& error) {
    std::fprintf(stderr, "voxeltool export: %s: export a smaller region\n", error.what());
    return 2;
  } catch (const std::runtime_error& error) {
    throw output.Failure(error.what());
  }
  output.Commit();
  return 0;
}

}  // namespace

void AddExportCommand(CLI::App& tool, int& status) {
  CLI::App* command =
      tool.add_subcommand("export", "write a region's chunks as the viewer draws them to glTF");
  command->footer(
      "Writes a glTF 2.0 binary file (.glb): one node and one mesh per chunk, the node at the\n"
      "chunk's world position (32 X, 0, 32 Z), the mesh holding its faces in local coordinates\n"
      "with the viewer's positions, colours and both atlases' texture coordinates; normals point\n"
      "out of the visible side, as glTF viewers expect. One material embeds Texture.png and\n"
      "AO.png (occlusion, second texture coordinates), sampled nearest as in the viewer.\n"
      "Chunks are built on all cores; memory holds a few of them and about 8 KB per chunk of\n"
      "the region for the file's index, at most about 60 MB.\n"
      "A GLB file holds at most 4 GiB, so a region has at most 4096 chunks (and is refused while\n"
      "it is built if its faces pass that size). The file appears only when complete; a failure\n"
      "or Ctrl-C leaves the old one. Into a pipe (--out -) or a FIFO it goes once complete, kept\n"
      "until then in an unnamed file in $TMPDIR or /tmp.");
  auto region = std::make_shared<TChunkRegion>();
  auto out = std::make_shared<std::string>();
  region->AddOptions(*command);
  command->add_option("--out", *out, "the glTF binary file to write, - for standard output")
      ->required()
      ->type_name("FILE.glb");
  command->callback([region, out, &status] {
    region->CheckOrder();
    if (region->Count() > kMaxChunks)
      throw CLI::ValidationError("--to", "the region has " + std::to_string(region->Count()) +
                                             " chunks; an export holds " + "at most " +
                                             std::to_string(kMaxChunks) +
                                             ", since a GLB file cannot pass 4 GiB");
    status = RunExport(*region, *out);
  });
}
