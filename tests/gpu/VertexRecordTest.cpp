#include <gtest/gtest.h>

#include <array>
#include <bit>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "gpu/Mesh.h"

namespace {

using TBytes = std::vector<std::uint8_t>;
constexpr std::uint8_t kFill = 0xAB;  // bytes no attribute may touch

void PutFloats(TBytes& record, int at, std::initializer_list<float> values) {
  for (float v : values) {
    const auto bits = std::bit_cast<std::uint32_t>(v);
    for (int i = 0; i < 4; ++i) record[at++] = static_cast<std::uint8_t>(bits >> (8 * i));
  }
}

// The record of WriteSample below, built field by field in storage order.
TBytes ExpectedSample() {
  TBytes record(52, kFill);
  PutFloats(record, 0, {1.5f, -2.0f, 3.25f});
  PutFloats(record, 12, {0.0f, 1.0f, -1.0f});
  const std::uint8_t colour[4] = {0x11, 0x22, 0x33, 0x44};
  std::memcpy(&record[24], colour, 4);
  PutFloats(record, 28, {0.5f, 0.75f, 0.0f, 7.0f, 8.0f, 9.0f});
  return record;
}

std::uint8_t* WriteSample(const TMesh& mesh, std::uint8_t* at) {
  // Argument order: position, normal, set 0, colour, set 1.
  return mesh.RenderVertexIntoBuffer(at, 1.5f, -2.0f, 3.25f, 0.0f, 1.0f, -1.0f, 0.5f, 0.75f, 0.0f,
                                     0x11, 0x22, 0x33, 0x44, 7.0f, 8.0f, 9.0f);
}

TEST(RenderVertexIntoBuffer, DefaultLayoutByteForByte) {
  const auto mesh = TMesh::New();
  TBytes buffer(52 + 8, kFill);
  EXPECT_EQ(WriteSample(*mesh, buffer.data()), buffer.data() + 52);
  EXPECT_EQ(TBytes(buffer.begin(), buffer.begin() + 52), ExpectedSample());
  EXPECT_EQ(TBytes(buffer.begin() + 52, buffer.end()), TBytes(8, kFill));
}

TEST(RenderVertexIntoBuffer, NegativeOffsetLeavesItsBytesAndStillAdvances) {
  struct TCase {
    std::string Name;
    int TMesh::*Field;
    int From, To;  // the attribute's bytes in the record
  };
  const TCase cases[] = {
      {"position", &TMesh::PositionIndex, 0, 12},
      {"normal", &TMesh::NormalIndex, 12, 24},
      {"colour", &TMesh::ColorIndex, 24, 28},
      {"texture coordinates", &TMesh::TexCoordIndex, 28, 52},
  };
  for (const TCase& c : cases) {
    const auto mesh = TMesh::New();
    (*mesh).*c.Field = -1;
    TBytes expected = ExpectedSample();
    std::fill(expected.begin() + c.From, expected.begin() + c.To, kFill);
    TBytes buffer(52, kFill);
    EXPECT_EQ(WriteSample(*mesh, buffer.data()), buffer.data() + 52) << c.Name;
    EXPECT_EQ(buffer, expected) << c.Name;
  }
}

TEST(RenderVertexIntoBuffer, AdvancesByVertexSize) {
  const auto mesh = TMesh::New();
  mesh->VertexSize = 64;
  TBytes buffer(64, kFill);
  EXPECT_EQ(WriteSample(*mesh, buffer.data()), buffer.data() + 64);
  EXPECT_EQ(TBytes(buffer.begin() + 52, buffer.end()), TBytes(12, kFill));
}

struct TRecord {
  std::array<float, 3> Position, Normal;
  std::array<std::uint8_t, 4> Colour;
  std::array<float, 6> TexCoords;
};

TRecord ReadRecord(const std::uint8_t* p) {
  TRecord r;
  std::memcpy(r.Position.data(), p, 12);
  std::memcpy(r.Normal.data(), p + 12, 12);
  std::memcpy(r.Colour.data(), p + 24, 4);
  std::memcpy(r.TexCoords.data(), p + 28, 24);
  return r;
}

TEST(RenderCubeIntoBuffer, FirstRecordAndEnd) {
  const auto mesh = TMesh::New();
  TBytes buffer(24 * 52, 0);
  EXPECT_EQ(mesh->RenderCubeIntoBuffer(buffer.data(), -0.5f, -0.5f, -0.5f),
            buffer.data() + 24 * 52);
  const TRecord first = ReadRecord(buffer.data());
  EXPECT_EQ(first.Position, (std::array<float, 3>{-0.5f, 0.5f, 0.5f}));
  EXPECT_EQ(first.Normal, (std::array<float, 3>{0.0f, 0.0f, 1.0f}));
  EXPECT_EQ(first.Colour, (std::array<std::uint8_t, 4>{0xFF, 0xFF, 0xFF, 0xFF}));
  EXPECT_EQ(first.TexCoords, (std::array<float, 6>{}));
}

std::array<float, 3> Minus(const std::array<float, 3>& a, const std::array<float, 3>& b) {
  return {a[0] - b[0], a[1] - b[1], a[2] - b[2]};
}
float Dot(const std::array<float, 3>& a, const std::array<float, 3>& b) {
  return a[0] * b[0] + a[1] * b[1] + a[2] * b[2];
}
std::array<float, 3> Cross(const std::array<float, 3>& a, const std::array<float, 3>& b) {
  return {a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]};
}

// Independent of the corner table: every face is a unit square on the cube's
// surface with its outward normal, the six faces cover the six sides, and each
// runs clockwise seen from outside (its corners' turning vector points inward).
TEST(RenderCubeIntoBuffer, SixOutwardClockwiseUnitFaces) {
  const auto mesh = TMesh::New();
  const float x = 2.0f, y = -3.0f, z = 10.0f;
  const std::array<float, 3> centre = {x + 0.5f, y + 0.5f, z + 0.5f};
  TBytes buffer(24 * 52, 0);
  mesh->RenderCubeIntoBuffer(buffer.data(), x, y, z);
  std::vector<std::array<float, 3>> normals;
  for (int face = 0; face < 6; ++face) {
    std::array<TRecord, 4> corners;
    for (int i = 0; i < 4; ++i) corners[i] = ReadRecord(buffer.data() + (face * 4 + i) * 52);
    const auto n = corners[0].Normal;
    normals.push_back(n);
    for (const TRecord& corner : corners) {
      EXPECT_EQ(corner.Normal, n) << face;
      EXPECT_EQ(corner.Colour, (std::array<std::uint8_t, 4>{255, 255, 255, 255})) << face;
      EXPECT_EQ(corner.TexCoords, (std::array<float, 6>{})) << face;
      EXPECT_EQ(Dot(Minus(corner.Position, centre), n), 0.5f) << face;
    }
    for (int i = 0; i < 4; ++i) {
      const auto edge = Minus(corners[(i + 1) % 4].Position, corners[i].Position);
      EXPECT_EQ(Dot(edge, edge), 1.0f) << face << " edge " << i;
      const auto next = Minus(corners[(i + 2) % 4].Position, corners[(i + 1) % 4].Position);
      EXPECT_EQ(Dot(Cross(edge, next), n), -1.0f) << face << " corner " << i;
    }
  }
  const std::vector<std::array<float, 3>> sides = {{0, 0, 1},  {1, 0, 0}, {0, 0, -1},
                                                   {-1, 0, 0}, {0, 1, 0}, {0, -1, 0}};
  EXPECT_EQ(normals, sides);
}

}  // namespace
