#include <GL/glew.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <numeric>
#include <vector>

#include "gpu/Mesh.h"
#include "scene/RenderRegistry.h"
#include "tests/gpu/PngFixture.h"
#include "tests/support/GlTest.h"
#include "tests/support/TempDir.h"

namespace {

using TVbo = TVertexBufferObject;
using TBytes = std::vector<std::uint8_t>;

const TPixel kBlack{0, 0, 0, 255};
const TPixel kRed{255, 0, 0, 255};
const TPixel kGreen{0, 255, 0, 255};
const TPixel kBlue{0, 0, 255, 255};

// Window pixels in the left and the right half of the 1024 x 768 window.
constexpr int kLeftX = 256, kRightX = 768, kMiddleY = 384;

class MeshTest : public GlTest {
 protected:
  void SetUp() override {
    GlTest::SetUp();
    // Flat drawing in normalised device coordinates.
    glDisable(GL_LIGHTING);
    glDisable(GL_CULL_FACE);
    glDisable(GL_DEPTH_TEST);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    Clear();
  }

  static void Clear() {
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
  }

  std::shared_ptr<TTexture2D> Texture(const std::string& name, int width, const TBytes& rgba) {
    WriteFile(Dir / name, RgbaPng(width, 1, rgba).Encode());
    return TTexture2D::Load(Dir / name);
  }

  TTempDir Dir;
};

// Appends the records of a quad spanning x0..x1, y0..y1 in device coordinates,
// in one colour. Texture set 0 is (0, 0.5) everywhere; set 1's s runs from 0 on
// the left to 1 on the right.
void AppendQuad(const TMesh& mesh, TBytes& records, float x0, float x1, float y0, float y1,
                TPixel colour) {
  const std::size_t at = records.size();
  records.resize(at + 4 * static_cast<std::size_t>(mesh.VertexSize));
  std::uint8_t* p = records.data() + at;
  for (const auto& [x, y] : {std::pair{x0, y0}, {x1, y0}, {x1, y1}, {x0, y1}}) {
    const float s1 = x == x0 ? 0.0f : 1.0f;
    p = mesh.RenderVertexIntoBuffer(p, x, y, 0.0f, 0.0f, 0.0f, 1.0f, 0.0f, 0.5f, 0.0f, colour.R,
                                    colour.G, colour.B, colour.A, s1, 0.5f, 0.0f);
  }
}

void Upload(TMesh& mesh, const TBytes& records) {
  mesh.VBO->Bind();
  mesh.VBO->BufferData(static_cast<std::int64_t>(records.size()), records.data());
}

// Gives the mesh one quad over the whole window in `colour`, drawn without an
// index buffer.
void SetWindowQuad(TMesh& mesh, TPixel colour) {
  mesh.IBO = nullptr;
  TBytes records;
  AppendQuad(mesh, records, -1.0f, 1.0f, -1.0f, 1.0f, colour);
  Upload(mesh, records);
  mesh.VertexCount = 4;
}

TEST_F(MeshTest, DrawsVerticesInOrderOrThroughTheIndexBuffer) {
  const auto mesh = TMesh::Create(nullptr, nullptr, {});
  TBytes records;
  AppendQuad(*mesh, records, -1.0f, 0.0f, -1.0f, 1.0f, kRed);   // vertices 0..3
  AppendQuad(*mesh, records, 0.0f, 1.0f, -1.0f, 1.0f, kGreen);  // vertices 4..7
  Upload(*mesh, records);
  mesh->VertexCount = 4;

  const auto indices = mesh->IBO;
  mesh->IBO = nullptr;
  mesh->Draw();
  EXPECT_EQ(ReadPixel(kLeftX, kMiddleY), kRed);
  EXPECT_EQ(ReadPixel(kRightX, kMiddleY), kBlack);

  // VertexCount now counts indices, read from the start of the index buffer.
  Clear();
  mesh->IBO = indices;
  const std::uint16_t order[] = {4, 5, 6, 7, 0, 1, 2, 3};
  indices->Bind();
  indices->BufferData(sizeof order, order);
  mesh->Draw();
  EXPECT_EQ(ReadPixel(kLeftX, kMiddleY), kBlack);
  EXPECT_EQ(ReadPixel(kRightX, kMiddleY), kGreen);
  EXPECT_EQ(TakeGlError(), static_cast<unsigned>(GL_NO_ERROR));
}

TEST_F(MeshTest, NegativeColourOffsetDrawsWithTheCurrentColour) {
  const auto mesh = TMesh::Create(nullptr, nullptr, {});
  SetWindowQuad(*mesh, kRed);
  mesh->Draw();
  ASSERT_EQ(ReadPixel(kLeftX, kMiddleY), kRed);

  // A colour array left on from elsewhere, still pointing at the red bytes.
  glEnableClientState(GL_COLOR_ARRAY);
  glColor4ub(0, 0, 255, 255);
  mesh->ColorIndex = -1;
  Clear();
  mesh->Draw();
  EXPECT_EQ(ReadPixel(kLeftX, kMiddleY), kBlue);
}

TEST_F(MeshTest, OnlySlotOneSamplesSetOneAndLeavesUnitZeroAlone) {
  const auto unitZeroTexture = Texture("red.png", 1, {255, 0, 0, 255});
  const auto texture = Texture("green-blue.png", 2, {0, 255, 0, 255, 0, 0, 255, 255});
  ASSERT_TRUE(unitZeroTexture && texture);
  glActiveTexture(GL_TEXTURE0);
  glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(unitZeroTexture->GLName));
  glDisable(GL_TEXTURE_2D);

  const auto mesh = TMesh::Create(nullptr, nullptr, {});
  SetWindowQuad(*mesh, {255, 255, 255, 255});
  mesh->SetTexture(texture, 1);
  mesh->Draw();

  // Set 1 spans the texture's two texels; set 0 would give green everywhere.
  EXPECT_EQ(ReadPixel(kLeftX, kMiddleY), kGreen);
  EXPECT_EQ(ReadPixel(kRightX, kMiddleY), kBlue);
  EXPECT_EQ(GlInteger(GL_ACTIVE_TEXTURE), GL_TEXTURE1);
  EXPECT_EQ(GlInteger(GL_CLIENT_ACTIVE_TEXTURE), GL_TEXTURE1);
  EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));  // unit 1, switched off after the draw
  GLint filter = 0;
  glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &filter);
  EXPECT_EQ(filter, GL_NEAREST);

  glActiveTexture(GL_TEXTURE0);
  EXPECT_EQ(GlInteger(GL_TEXTURE_BINDING_2D), unitZeroTexture->GLName);
  EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
  glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &filter);
  EXPECT_EQ(filter, GL_NEAREST_MIPMAP_LINEAR);  // OpenGL's default, untouched
  EXPECT_EQ(TakeGlError(), static_cast<unsigned>(GL_NO_ERROR));
}

TEST_F(MeshTest, DrawLeavesNoClientArrayOnAndSwitchesOffEveryTexturedUnit) {
  const auto texture = Texture("white.png", 1, {255, 255, 255, 255});
  ASSERT_TRUE(texture);
  const auto other = TTexture2D::New();
  glActiveTexture(GL_TEXTURE3);
  GLuint unitThreeName = 0;
  glGenTextures(1, &unitThreeName);
  glBindTexture(GL_TEXTURE_2D, unitThreeName);
  glEnable(GL_TEXTURE_2D);

  const auto mesh = TMesh::Create(nullptr, nullptr, {});
  TBytes records;
  AppendQuad(*mesh, records, -1.0f, 1.0f, -1.0f, 1.0f, kRed);
  Upload(*mesh, records);
  const std::uint16_t order[] = {0, 1, 2, 3};
  mesh->IBO->Bind();
  mesh->IBO->BufferData(sizeof order, order);
  mesh->VertexCount = 4;
  mesh->SetTexture(texture, 0);
  mesh->SetTexture(texture, 1);
  mesh->SetTexture(other, 3);  // never bound, but its unit is switched off
  mesh->Draw();
  EXPECT_EQ(ReadPixel(kLeftX, kMiddleY), kRed);

  EXPECT_EQ(GlInteger(GL_ACTIVE_TEXTURE), GL_TEXTURE3);
  EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
  EXPECT_EQ(GlInteger(GL_TEXTURE_BINDING_2D), static_cast<GLint>(unitThreeName));
  EXPECT_EQ(GlInteger(GL_CLIENT_ACTIVE_TEXTURE), GL_TEXTURE1);
  for (GLenum array : {GL_VERTEX_ARRAY, GL_NORMAL_ARRAY, GL_COLOR_ARRAY}) {
    EXPECT_FALSE(glIsEnabled(array)) << array;
  }
  for (GLenum unit : {GL_TEXTURE0, GL_TEXTURE1}) {
    glClientActiveTexture(unit);
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_COORD_ARRAY)) << unit - GL_TEXTURE0;
  }
  EXPECT_EQ(GlInteger(GL_ARRAY_BUFFER_BINDING), static_cast<GLint>(mesh->VBO->BufferID));
  EXPECT_EQ(GlInteger(GL_ELEMENT_ARRAY_BUFFER_BINDING), static_cast<GLint>(mesh->IBO->BufferID));
  EXPECT_EQ(TakeGlError(), static_cast<unsigned>(GL_NO_ERROR));
}

TEST_F(MeshTest, DrawCallbackReplacesDefaultDraw) {
  int calls = 0;
  TMesh* seen = nullptr;
  const auto mesh = TMesh::Create(nullptr, nullptr, [&](TMesh& m) {
    ++calls;
    seen = &m;
    return 0;
  });
  SetWindowQuad(*mesh, kRed);

  mesh->Draw();
  EXPECT_EQ(calls, 1);
  EXPECT_EQ(seen, mesh.get());
  EXPECT_EQ(ReadPixel(kLeftX, kMiddleY), kBlack);

  mesh->DrawCallback = [](TMesh& m) {
    m.DefaultDraw();
    return 0;
  };
  mesh->Draw();
  EXPECT_EQ(ReadPixel(kLeftX, kMiddleY), kRed);
}

TEST_F(MeshTest, MeshesJoinTheMeshListInOrderOfConstruction) {
  const auto first = TMesh::New();
  const auto second = TMesh::Create(nullptr, nullptr, {});
  const auto third = TMesh::New();
  EXPECT_EQ(TRenderRegistry::MeshList, (std::vector<std::shared_ptr<TMesh>>{first, second, third}));
  EXPECT_EQ(first->Hidden, 0);
  EXPECT_EQ(first->VertexCount, 0);
  EXPECT_FALSE(first->VBO);
  EXPECT_FALSE(first->IBO);
  EXPECT_FALSE(first->DrawCallback);
  for (const auto& texture : first->Textures) EXPECT_FALSE(texture);
}

TEST_F(MeshTest, CreateMakesOnlyTheMissingBuffers) {
  const auto given = TVbo::Create(TVbo::KIND_VERTEX_BUFFER);
  const auto mesh = TMesh::Create(given, nullptr, {});
  EXPECT_EQ(mesh->VBO, given);
  EXPECT_EQ(given->Usage, 0u);  // left as it was
  ASSERT_TRUE(mesh->IBO);
  EXPECT_EQ(mesh->IBO->Kind, TVbo::KIND_INDEX_BUFFER);
  EXPECT_EQ(mesh->IBO->Usage, static_cast<std::uint32_t>(GL_STATIC_DRAW));
  EXPECT_EQ(GlInteger(GL_ELEMENT_ARRAY_BUFFER_BINDING), static_cast<GLint>(mesh->IBO->BufferID));

  const auto fresh = TMesh::Create(nullptr, nullptr, {});
  ASSERT_TRUE(fresh->VBO);
  EXPECT_EQ(fresh->VBO->Kind, TVbo::KIND_VERTEX_BUFFER);
  EXPECT_EQ(fresh->VBO->Usage, static_cast<std::uint32_t>(GL_STATIC_DRAW));
  const auto vbo = fresh->VBO, ibo = fresh->IBO;
  fresh->Init();
  EXPECT_EQ(fresh->VBO, vbo);
  EXPECT_EQ(fresh->IBO, ibo);
}

TBytes BufferContents(const TVbo& buffer, GLenum target, std::size_t size) {
  TBytes bytes(size, 0xEE);
  glGetBufferSubData(target, 0, static_cast<GLsizeiptr>(size), bytes.data());
  GLint stored = -1;
  glGetBufferParameteriv(target, GL_BUFFER_SIZE, &stored);
  EXPECT_EQ(stored, static_cast<GLint>(size)) << buffer.BufferID;
  return bytes;
}

TEST_F(MeshTest, MakeCubeFillsBothBuffers) {
  const auto mesh = TMesh::Create(nullptr, nullptr, {});
  mesh->MakeCube();
  EXPECT_EQ(mesh->VertexCount, 24);

  TBytes expected(1248, 0);
  mesh->RenderCubeIntoBuffer(expected.data(), -0.5f, -0.5f, -0.5f);
  mesh->VBO->Bind();
  EXPECT_EQ(BufferContents(*mesh->VBO, GL_ARRAY_BUFFER, 1248), expected);

  std::vector<std::uint16_t> indices(24);
  std::iota(indices.begin(), indices.end(), std::uint16_t{0});
  const TBytes indexBytes(reinterpret_cast<const std::uint8_t*>(indices.data()),
                          reinterpret_cast<const std::uint8_t*>(indices.data()) + 48);
  mesh->IBO->Bind();
  EXPECT_EQ(BufferContents(*mesh->IBO, GL_ELEMENT_ARRAY_BUFFER, 48), indexBytes);
  EXPECT_EQ(TakeGlError(), static_cast<unsigned>(GL_NO_ERROR));
}

TEST_F(MeshTest, MakeCubeSurvivesBuffersThatCannotBeMapped) {
  // Buffers without a usage get no store, so mapping them fails.
  const auto mesh = TMesh::Create(TVbo::Create(TVbo::KIND_VERTEX_BUFFER),
                                  TVbo::Create(TVbo::KIND_INDEX_BUFFER), {});
  mesh->MakeCube();
  EXPECT_EQ(mesh->VertexCount, 24);
  EXPECT_EQ(mesh->VBO->DataPointer, nullptr);
  EXPECT_EQ(mesh->IBO->DataPointer, nullptr);
}

}  // namespace
