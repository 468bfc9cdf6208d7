#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdio>
#include <memory>
#include <optional>
#include <set>
#include <string>

#include "blocks/BlockClass.h"
#include "platform/ReadFile.h"
#include "tests/support/TempDir.h"
#include "tests/tools/GltfFixtures.h"
#include "tests/world/WorldFixtures.h"
#include "tools/GlbWriter.h"
#include "world/Chunk.h"

namespace {

using TVec3 = std::array<float, 3>;
using TVec2 = std::array<float, 2>;
using TBytes4 = std::array<std::uint8_t, 4>;

TVec3 Minus(const TVec3& a, const TVec3& b) {
  return {a[0] - b[0], a[1] - b[1], a[2] - b[2]};
}
TVec3 Cross(const TVec3& a, const TVec3& b) {
  return {a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]};
}
float Dot(const TVec3& a, const TVec3& b) {
  return a[0] * b[0] + a[1] * b[1] + a[2] * b[2];
}

// Writes the chunks (built already) and atlases into `path` as the export does.
void WriteGlb(const std::string& path, const std::vector<std::shared_ptr<TChunk>>& chunks,
              const TImage* faces = nullptr, const TImage* ao = nullptr) {
  const TFileHandle out = OpenFile(path, "wb");
  TGlbWriter glb(out.get(), chunks.size());
  glb.SetAtlases(faces, ao);
  for (const auto& chunk : chunks) glb.AddChunk(TGlbWriter::ConvertChunk(*chunk));
  glb.Finish();
}

void ExpectValid(const std::string& path) {
  const TValidation validation = Validate(path);
  ASSERT_TRUE(validation.Ran) << validation.Report;
  EXPECT_EQ(validation.Errors, 0) << validation.Report;
  EXPECT_EQ(validation.Warnings, 0) << validation.Report;
}

class GlbWriterTest : public ::testing::Test {
 protected:
  void SetUp() override {
    RegisterBlock(1, 1);
    // One block in empty space: six faces, each seen from a different open cell.
    Block = TChunk::NewUnregistered(2, -3);
    SetBlock(*Block, 5, 64, 5, 1);
    ComputeHeightsAndLight(*Block);
    Block->BuildVertexData();
    Empty = TChunk::NewUnregistered(3, -3);
    ComputeHeightsAndLight(*Empty);
    Empty->BuildVertexData();
  }

  TTempDir Dir;
  std::shared_ptr<TChunk> Block, Empty;
};

TEST_F(GlbWriterTest, EachChunkIsANodeAtItsPlaceWithAMeshOfItsFaces) {
  WriteGlb(Dir / "chunks.glb", {Block, Empty});
  ExpectValid(Dir / "chunks.glb");
  std::string error;
  const std::optional<tinygltf::Model> model = LoadGlb(Dir / "chunks.glb", error);
  ASSERT_TRUE(model) << error;

  ASSERT_EQ(model->nodes.size(), 2u);
  ASSERT_EQ(model->scenes.size(), 1u);
  EXPECT_EQ(model->scenes[0].nodes, (std::vector<int>{0, 1}));
  EXPECT_EQ(model->nodes[0].name, "chunk 2 -3");
  EXPECT_EQ(model->nodes[0].translation, (std::vector<double>{64, 0, -96}));
  EXPECT_EQ(model->nodes[1].name, "chunk 3 -3");
  EXPECT_EQ(model->nodes[1].translation, (std::vector<double>{96, 0, -96}));
  // A chunk without faces has nothing to draw: a node without a mesh.
  EXPECT_EQ(model->nodes[1].mesh, -1);
  ASSERT_EQ(model->meshes.size(), 1u);
  ASSERT_EQ(model->nodes[0].mesh, 0);

  // Without atlases, the material has no textures, and the file no images.
  ASSERT_EQ(model->materials.size(), 1u);
  EXPECT_EQ(model->materials[0].pbrMetallicRoughness.baseColorTexture.index, -1);
  EXPECT_EQ(model->materials[0].occlusionTexture.index, -1);
  EXPECT_TRUE(model->images.empty());
}

TEST_F(GlbWriterTest, FacesKeepTheViewersRecordsAndFaceTheirOpenCells) {
  WriteGlb(Dir / "block.glb", {Block});
  std::string error;
  const std::optional<tinygltf::Model> model = LoadGlb(Dir / "block.glb", error);
  ASSERT_TRUE(model) << error;
  ASSERT_EQ(model->meshes.size(), 1u);
  const tinygltf::Primitive& primitive = model->meshes[0].primitives.at(0);
  EXPECT_EQ(primitive.mode, TINYGLTF_MODE_TRIANGLES);
  EXPECT_EQ(primitive.material, 0);
  const auto attribute = [&](const char* name) { return primitive.attributes.at(name); };
  const std::vector<TVec3> positions = ReadAccessor<TVec3>(*model, attribute("POSITION"));
  const std::vector<TVec3> normals = ReadAccessor<TVec3>(*model, attribute("NORMAL"));
  const std::vector<TBytes4> colours = ReadAccessor<TBytes4>(*model, attribute("COLOR_0"));
  const std::vector<TVec2> faceCoords = ReadAccessor<TVec2>(*model, attribute("TEXCOORD_0"));
  const std::vector<TVec2> aoCoords = ReadAccessor<TVec2>(*model, attribute("TEXCOORD_1"));
  const std::vector<std::uint32_t> indices = ReadAccessor<std::uint32_t>(*model, primitive.indices);
  EXPECT_TRUE(model->accessors.at(attribute("COLOR_0")).normalized);

  // F faces: 4F vertices, 6F indices, one per record of the viewer.
  const std::vector<TFace> faces = DecodeFaces(*Block);
  ASSERT_EQ(faces.size(), 6u);
  ASSERT_EQ(positions.size(), 24u);
  ASSERT_EQ(indices.size(), 36u);
  for (std::size_t f = 0; f < faces.size(); ++f) {
    const TFace& face = faces[f];
    for (std::size_t c = 0; c < 4; ++c) {
      const std::size_t v = 4 * f + c;
      SCOPED_TRACE(testing::Message() << "face " << f << " corner " << c);
      EXPECT_EQ(positions[v], face.Position[c]);
      // The outward normal of the visible side: the viewer's, reversed.
      for (int axis = 0; axis < 3; ++axis) EXPECT_EQ(normals[v][axis], -face.Normal[c][axis]);
      EXPECT_EQ(colours[v], face.Colour[c]);
      EXPECT_EQ(faceCoords[v], (TVec2{face.Tile[c][0], face.Tile[c][1]}));
      EXPECT_EQ(aoCoords[v], (TVec2{face.AO[c][0], face.AO[c][1]}));
    }
  }

  // Each face is two triangles over its own four corners, counter-clockwise
  // (glTF's front) as seen from its open cell, with NORMAL as their normal.
  for (std::size_t f = 0; f < faces.size(); ++f) {
    SCOPED_TRACE(testing::Message() << "face " << f);
    std::set<std::uint32_t> corners;
    float area = 0.0f;
    for (std::size_t t = 2 * f; t < 2 * f + 2; ++t) {
      const std::uint32_t* triangle = &indices[3 * t];
      for (int n = 0; n < 3; ++n) {
        ASSERT_EQ(triangle[n] / 4, f);
        corners.insert(triangle[n]);
      }
      const TVec3& p0 = positions[triangle[0]];
      const TVec3 cross =
          Cross(Minus(positions[triangle[1]], p0), Minus(positions[triangle[2]], p0));
      const float length = std::sqrt(Dot(cross, cross));
      area += length / 2.0f;
      const std::array<int, 3> cell = faces[f].OpenCell();
      const TVec3 toCell = Minus(
          {static_cast<float>(cell[0]), static_cast<float>(cell[1]), static_cast<float>(cell[2])},
          p0);
      EXPECT_GT(Dot(cross, toCell), 0.0f);
      EXPECT_NEAR(Dot(cross, normals[triangle[0]]) / length, 1.0f, 1e-6f);
    }
    EXPECT_EQ(corners.size(), 4u);
    EXPECT_NEAR(area, 1.004f * 1.004f, 1e-4f);
  }
}

TEST_F(GlbWriterTest, AtlasesAreEmbeddedAsGivenAndSampledNearest) {
  TImage faces;
  faces.Width = faces.Height = 32;
  for (int n = 0; n < 32 * 32 * 4; ++n) faces.Pixels.push_back(static_cast<std::uint8_t>(n * 7));
  TImage ao = faces.Resampled(16, 16);
  struct TCase {
    const TImage* Faces;
    const TImage* AO;
  };
  for (const TCase& c : {TCase{&faces, &ao}, TCase{&faces, nullptr}, TCase{nullptr, &ao}}) {
    SCOPED_TRACE(testing::Message()
                 << "faces " << (c.Faces != nullptr) << " AO " << (c.AO != nullptr));
    WriteGlb(Dir / "atlases.glb", {Block}, c.Faces, c.AO);
    ExpectValid(Dir / "atlases.glb");
    std::string error;
    const std::optional<tinygltf::Model> model = LoadGlb(Dir / "atlases.glb", error);
    ASSERT_TRUE(model) << error;
    const tinygltf::Material& material = model->materials.at(0);
    EXPECT_EQ(material.pbrMetallicRoughness.metallicFactor, 0.0);
    const auto imageOf = [&](int texture) -> const tinygltf::Image& {
      const tinygltf::Texture& t = model->textures.at(static_cast<std::size_t>(texture));
      const tinygltf::Sampler& sampler = model->samplers.at(static_cast<std::size_t>(t.sampler));
      EXPECT_EQ(sampler.magFilter, TINYGLTF_TEXTURE_FILTER_NEAREST);
      EXPECT_EQ(sampler.minFilter, TINYGLTF_TEXTURE_FILTER_NEAREST);
      EXPECT_EQ(sampler.wrapS, TINYGLTF_TEXTURE_WRAP_REPEAT);
      EXPECT_EQ(sampler.wrapT, TINYGLTF_TEXTURE_WRAP_REPEAT);
      return model->images.at(static_cast<std::size_t>(t.source));
    };
    const tinygltf::TextureInfo& base = material.pbrMetallicRoughness.baseColorTexture;
    ASSERT_EQ(base.index >= 0, c.Faces != nullptr);
    if (c.Faces) {
      EXPECT_EQ(base.texCoord, 0);
      EXPECT_EQ(imageOf(base.index).image, faces.Pixels);
    }
    ASSERT_EQ(material.occlusionTexture.index >= 0, c.AO != nullptr);
    if (c.AO) {
      EXPECT_EQ(material.occlusionTexture.texCoord, 1);
      EXPECT_EQ(imageOf(material.occlusionTexture.index).image, ao.Pixels);
    }
  }
}

TEST_F(GlbWriterTest, AChunkThatWouldPassFourGiBIsRefusedBeforeItIsWritten) {
  const TFileHandle out(std::tmpfile());
  TGlbWriter glb(out.get(), 2);
  glb.AddChunk(TGlbWriter::ConvertChunk(*Block));
  const long written = std::ftell(out.get());
  // 200 bytes a face: 25 million faces pass 4 GiB.
  TGlbWriter::TChunkMesh huge;
  huge.Faces = 25'000'000;
  EXPECT_THROW(glb.AddChunk(huge), TGlbWriter::TTooLarge);
  EXPECT_EQ(std::ftell(out.get()), written);
  // So does a region whose JSON alone would not fit.
  EXPECT_THROW(TGlbWriter(out.get(), 3'000'000), TGlbWriter::TTooLarge);
}

}  // namespace
