#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "blocks/BlockClass.h"
#include "blocks/LuaHandler.h"
#include "gpu/Image.h"
#include "tests/support/Process.h"
#include "tests/support/SanitizerBuild.h"
#include "tests/support/TempDir.h"
#include "tests/support/WorkingDirectory.h"
#include "tests/tools/GltfFixtures.h"
#include "tests/tools/RegionCommand.h"
#include "tests/world/WorldFixtures.h"
#include "world/Chunk.h"

namespace {

using TVec3 = std::array<float, 3>;
using TVec2 = std::array<float, 2>;
using TBytes4 = std::array<std::uint8_t, 4>;

std::vector<std::string> ExportArguments(const TRegion& r, const std::string& out) {
  return RegionArguments("export", r, out);
}

TEST(ExportCommandTest, TheFilePassesTheKhronosValidator) {
  struct TCase {
    const char* Name;
    const char* Remove;  // a data file the viewer then cannot load
    std::string Stderr;
    TRegion Region;
  };
  const TCase cases[] = {
      {"all data files", nullptr, "", {-1, -1, 0, 0}},
      {"no AO.png",
       "AO.png",
       "voxeltool export: AO.png cannot be read: the material has no occlusion texture, as the "
       "viewer draws without it\n",
       {5, 5, 5, 5}},
      {"no Texture.png",
       "Texture.png",
       "voxeltool export: Texture.png cannot be read: the material has no base colour texture, as "
       "the viewer draws without it\n",
       {-1'000'000, 1'000'000, -1'000'000, 1'000'000}},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    TTempDir dir;
    dir.CopyAllData();
    if (c.Remove) std::filesystem::remove(dir / c.Remove);
    const TProcessResult result = RunIn(dir, ExportArguments(c.Region, "world.glb"));
    ASSERT_EQ(result.ExitCode, 0) << result.Stderr;
    EXPECT_EQ(result.Stderr, c.Stderr);
    EXPECT_EQ(result.Stdout, "");
    const TValidation validation = Validate(dir / "world.glb");
    ASSERT_TRUE(validation.Ran) << validation.Report;
    EXPECT_EQ(validation.Errors, 0) << validation.Report;
    EXPECT_EQ(validation.Warnings, 0) << validation.Report;
    // Infos are allowed; these are the ones a reader would see.
    for (const std::string& code : validation.Codes)
      std::printf("validator info: %s\n", code.c_str());
  }
}

// The chunks of an export of the shipped world, against the same chunks built
// in this process with the same data files.
class ExportRoundTripTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Dir.CopyAllData();
    const TProcessResult result = RunIn(Dir, ExportArguments(Region, "world.glb"));
    ASSERT_EQ(result.ExitCode, 0) << result.Stderr;
    std::string error;
    Model = LoadGlb(Dir / "world.glb", error);
    ASSERT_TRUE(Model) << error;
    const TWorkingDirectory data(Dir.Path());
    TLuaHandler::Init();
    TBlockClass::PrecalcAOCoordinates();
    EnsureNoiseTables();
  }

  std::shared_ptr<TChunk> Build(int x, int z) const {
    auto chunk = TChunk::NewUnregistered(x, z);
    chunk->GenerateData();
    chunk->BuildVertexData();
    return chunk;
  }

  const tinygltf::Image& ImageOf(int index) const {
    const tinygltf::Texture& texture = Model->textures.at(static_cast<std::size_t>(index));
    return Model->images.at(static_cast<std::size_t>(texture.source));
  }

  const TRegion Region{-1, 2, 0, 2};
  TTempDir Dir;
  std::optional<tinygltf::Model> Model;
};

TEST_F(ExportRoundTripTest, EveryVertexIsARecordTheViewerUploads) {
  ASSERT_EQ(Model->nodes.size(), 2u);
  ASSERT_EQ(Model->meshes.size(), 2u);
  for (const tinygltf::Node& node : Model->nodes) {
    int x = 0, z = 0;
    ASSERT_EQ(std::sscanf(node.name.c_str(), "chunk %d %d", &x, &z), 2) << node.name;
    SCOPED_TRACE(node.name);
    EXPECT_EQ(node.translation, (std::vector<double>{32.0 * x, 0, 32.0 * z}));
    const std::shared_ptr<TChunk> chunk = Build(x, z);
    const tinygltf::Primitive& primitive =
        Model->meshes.at(static_cast<std::size_t>(node.mesh)).primitives.at(0);
    const auto attribute = [&](const char* name) { return primitive.attributes.at(name); };
    const auto positions = ReadAccessor<TVec3>(*Model, attribute("POSITION"));
    const auto normals = ReadAccessor<TVec3>(*Model, attribute("NORMAL"));
    const auto colours = ReadAccessor<TBytes4>(*Model, attribute("COLOR_0"));
    const auto faceCoords = ReadAccessor<TVec2>(*Model, attribute("TEXCOORD_0"));
    const auto aoCoords = ReadAccessor<TVec2>(*Model, attribute("TEXCOORD_1"));
    const auto indices = ReadAccessor<std::uint32_t>(*Model, primitive.indices);

    // F faces: 4F vertices and 6F indices.
    const std::size_t faces = static_cast<std::size_t>(chunk->VertexCount) / 4;
    ASSERT_GT(faces, 0u);
    ASSERT_EQ(positions.size(), 4 * faces);
    ASSERT_EQ(indices.size(), 6 * faces);
    std::size_t different = 0;
    for (std::size_t v = 0; v < 4 * faces; ++v) {
      const std::uint8_t* record = chunk->VertexData.data() + v * chunk->VertexSize;
      float position[3], normal[3], coords[6];
      TBytes4 colour;
      std::memcpy(position, record + chunk->PositionIndex, sizeof position);
      std::memcpy(normal, record + chunk->NormalIndex, sizeof normal);
      std::memcpy(colour.data(), record + chunk->ColorIndex, 4);
      std::memcpy(coords, record + chunk->TexCoordIndex, sizeof coords);
      const bool same =
          positions[v] == TVec3{position[0], position[1], position[2]} &&
          normals[v] == TVec3{-normal[0] + 0.0f, -normal[1] + 0.0f, -normal[2] + 0.0f} &&
          colours[v] == colour && faceCoords[v] == TVec2{coords[0], coords[1]} &&
          aoCoords[v] == TVec2{coords[3], coords[4]};
      if (!same && ++different <= 3) ADD_FAILURE() << "vertex " << v << " differs";
    }
    EXPECT_EQ(different, 0u);
    // Every index stays within its own face.
    for (std::size_t n = 0; n < indices.size(); ++n) ASSERT_EQ(indices[n] / 4, n / 6);
  }
}

TEST_F(ExportRoundTripTest, TheMaterialEmbedsTheAtlasesUpright) {
  const tinygltf::Material& material = Model->materials.at(0);
  const tinygltf::Image& faces = ImageOf(material.pbrMetallicRoughness.baseColorTexture.index);
  const tinygltf::Image& ao = ImageOf(material.occlusionTexture.index);
  EXPECT_EQ(faces.image, TImage::LoadPng(DataDir() / "Texture.png")->Pixels);
  EXPECT_EQ(ao.image, TImage::LoadPng(DataDir() / "AO.png")->Pixels);
  EXPECT_EQ(material.occlusionTexture.texCoord, 1);

  // The sides of grass blocks show the grass cover at their top, as in the
  // viewer: glTF's v = 0 is the image's top row, as the viewer's t = 0 is.
  const TBlockClass& grass = TBlockClass::Lookup(2);
  const auto texel = [&](float u, float v) {
    const int x = static_cast<int>(u * static_cast<float>(faces.width));
    const int y = static_cast<int>(v * static_cast<float>(faces.height));
    return &faces.image[(static_cast<std::size_t>(y) * faces.width + x) * 4];
  };
  int grassSides = 0;
  for (const tinygltf::Mesh& mesh : Model->meshes) {
    const tinygltf::Primitive& primitive = mesh.primitives.at(0);
    const auto positions = ReadAccessor<TVec3>(*Model, primitive.attributes.at("POSITION"));
    const auto coords = ReadAccessor<TVec2>(*Model, primitive.attributes.at("TEXCOORD_0"));
    for (std::size_t f = 0; f < positions.size() / 4; ++f) {
      const TVec2* corner = &coords[4 * f];
      const float u0 = std::min({corner[0][0], corner[1][0], corner[2][0], corner[3][0]});
      const float v0 = std::min({corner[0][1], corner[1][1], corner[2][1], corner[3][1]});
      if (u0 != grass.FaceU[0] || v0 != grass.FaceV[0]) continue;
      ++grassSides;
      // The corners above and below, and a texel just inside each edge.
      float top = -1.0f, bottom = 1e9f, vTop = 0.0f, vBottom = 0.0f;
      for (int c = 0; c < 4; ++c) {
        const float y = positions[4 * f + c][1];
        if (y > top) top = y, vTop = corner[c][1];
        if (y < bottom) bottom = y, vBottom = corner[c][1];
      }
      ASSERT_LT(vTop, vBottom);
      const float uMiddle = u0 + TBlockClass::FACE_STEP / 2.0f;
      const std::uint8_t* cover = texel(uMiddle, vTop + 0.5f / static_cast<float>(faces.height));
      const std::uint8_t* soil = texel(uMiddle, vBottom - 0.5f / static_cast<float>(faces.height));
      EXPECT_GT(cover[1], cover[0] + 20);
      EXPECT_GT(soil[0], soil[1]);
    }
  }
  EXPECT_GT(grassSides, 0);
}

TEST(ExportCommandTest, RefusesBadRegionsAndFailuresWithOneLineAndNoFile) {
  ExpectRefusals(
      "export",
      {
          {{"--from", "0", "0", "--to", "-1", "0", "--out", "world.glb"},
           2,
           "voxeltool export: --to: the region runs from --from 0 0 to --to -1 0: each of X1, Z1 "
           "must be at least X0, Z0 (see voxeltool export --help)\n",
           true},
          {{"--from", "0", "0", "--to", "63", "64", "--out", "world.glb"},
           2,
           "voxeltool export: --to: the region has 4160 chunks; an export holds at most 4096, "
           "since a GLB file cannot pass 4 GiB (see voxeltool export --help)\n",
           true},
          {{"--from", "-1000001", "0", "--to", "0", "0", "--out", "world.glb"},
           2,
           "voxeltool export: --from: '-1000001' is not a chunk coordinate",
           false},
          {{"--from", "0", "0", "--to", "0", "0"}, 2, "voxeltool export: --out is required", false},
          {{"--from", "0", "0", "--to", "0", "0", "--out", "."},
           1,
           "voxeltool export: cannot write '.': it is a folder\n",
           true},
      });
}

TEST(ExportCommandTest, MemoryHoldsAFewChunksNotTheRegion) {
  if (kSanitizerBuild) GTEST_SKIP() << "peak memory is not the program's own under a sanitizer";
  // 100 chunks of 1 MB or so each while built (arrays and vertex data); an
  // export that kept them, or the file's bytes, would pass 100 MB.
  TTempDir dir;
  dir.CopyAllData();
  const TProcessResult result = RunIn(dir, ExportArguments({0, 0, 9, 9}, "world.glb"));
  ASSERT_EQ(result.ExitCode, 0) << result.Stderr;
  EXPECT_GT(std::filesystem::file_size(dir / "world.glb"), 50'000'000u);
  EXPECT_LT(result.MaxResidentKb, 50 * 1024);
}

TEST(ExportCommandTest, AnInterruptedExportLeavesNoFileAndTheOldOneAlone) {
  ExpectAnInterruptLeavesTheOldFile("export", {0, 0, 31, 31}, "world.glb");
}

}  // namespace
