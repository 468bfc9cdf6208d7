#include <GL/glew.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <numeric>
#include <vector>

#include "gpu/VertexBufferObject.h"
#include "tests/support/GlTest.h"

namespace {

using TVbo = TVertexBufferObject;
using TBytes = std::vector<std::uint8_t>;
using VertexBufferObjectTest = GlTest;

// A parameter of the buffer bound to `buffer`'s target.
GLint Parameter(const TVbo& buffer, GLenum name) {
  GLint value = -1;
  glGetBufferParameteriv(TVbo::GLTarget[buffer.Kind], name, &value);
  return value;
}

TBytes Contents(const TVbo& buffer, std::size_t size) {
  TBytes bytes(size, 0xEE);
  glGetBufferSubData(TVbo::GLTarget[buffer.Kind], 0, static_cast<GLsizeiptr>(size), bytes.data());
  return bytes;
}

TEST_F(VertexBufferObjectTest, FreshBufferHasNoUsageAndIsNotBound) {
  for (int kind : {TVbo::KIND_VERTEX_BUFFER, TVbo::KIND_INDEX_BUFFER}) {
    const auto buffer = TVbo::Create(kind);
    EXPECT_NE(buffer->BufferID, 0u);
    EXPECT_EQ(buffer->Kind, kind);
    EXPECT_EQ(buffer->Usage, 0u);
    EXPECT_EQ(buffer->DataPointer, nullptr);
    EXPECT_EQ(buffer->DataBuffered, 0);
    EXPECT_EQ(GlInteger(GL_ARRAY_BUFFER_BINDING), 0);
    EXPECT_EQ(GlInteger(GL_ELEMENT_ARRAY_BUFFER_BINDING), 0);
  }
}

TEST_F(VertexBufferObjectTest, KindSelectsTheBindingTarget) {
  const auto vertices = TVbo::Create(TVbo::KIND_VERTEX_BUFFER);
  const auto indices = TVbo::Create(TVbo::KIND_INDEX_BUFFER);
  vertices->Bind();
  EXPECT_EQ(GlInteger(GL_ARRAY_BUFFER_BINDING), static_cast<GLint>(vertices->BufferID));
  EXPECT_EQ(GlInteger(GL_ELEMENT_ARRAY_BUFFER_BINDING), 0);
  indices->Bind();
  EXPECT_EQ(GlInteger(GL_ELEMENT_ARRAY_BUFFER_BINDING), static_cast<GLint>(indices->BufferID));
  EXPECT_EQ(GlInteger(GL_ARRAY_BUFFER_BINDING), static_cast<GLint>(vertices->BufferID));
}

TEST_F(VertexBufferObjectTest, UsageCodesGiveTheirEnumerants) {
  const GLenum expected[3][3] = {
      {GL_STATIC_DRAW, GL_STATIC_READ, GL_STATIC_COPY},
      {GL_DYNAMIC_DRAW, GL_DYNAMIC_READ, GL_DYNAMIC_COPY},
      {GL_STREAM_DRAW, GL_STREAM_READ, GL_STREAM_COPY},
  };
  for (int frequency = 0; frequency < 3; ++frequency) {
    for (int nature = 0; nature < 3; ++nature) {
      const auto buffer = TVbo::Create(TVbo::KIND_VERTEX_BUFFER);
      buffer->SetUsage(frequency, nature);
      EXPECT_EQ(buffer->Usage, expected[frequency][nature]) << frequency << ", " << nature;
      buffer->Bind();
      buffer->BufferData(16, nullptr);
      EXPECT_EQ(Parameter(*buffer, GL_BUFFER_USAGE),
                static_cast<GLint>(expected[frequency][nature]))
          << frequency << ", " << nature;
      EXPECT_EQ(Parameter(*buffer, GL_BUFFER_SIZE), 16);
    }
  }
  EXPECT_EQ(TakeGlError(), static_cast<unsigned>(GL_NO_ERROR));
}

TEST_F(VertexBufferObjectTest, AccessCodesGiveTheirEnumerants) {
  const std::pair<int, GLenum> cases[] = {{TVbo::ACCESS_WRITE, GL_WRITE_ONLY},
                                          {TVbo::ACCESS_READ, GL_READ_ONLY},
                                          {TVbo::ACCESS_READ_WRITE, GL_READ_WRITE}};
  for (const auto& [access, expected] : cases) {
    const auto buffer = TVbo::Create(TVbo::KIND_INDEX_BUFFER);
    buffer->SetUsage(TVbo::USAGE_DYNAMIC, TVbo::USAGE_DRAW);
    buffer->Bind();
    buffer->BufferData(8, nullptr);
    buffer->Map(access);
    EXPECT_NE(buffer->DataPointer, nullptr) << access;
    EXPECT_EQ(Parameter(*buffer, GL_BUFFER_MAPPED), GL_TRUE) << access;
    EXPECT_EQ(Parameter(*buffer, GL_BUFFER_ACCESS), static_cast<GLint>(expected)) << access;
    buffer->UnMap();
    EXPECT_EQ(buffer->DataPointer, nullptr) << access;
    EXPECT_EQ(Parameter(*buffer, GL_BUFFER_MAPPED), GL_FALSE) << access;
  }
  EXPECT_EQ(TakeGlError(), static_cast<unsigned>(GL_NO_ERROR));
}

TEST_F(VertexBufferObjectTest, MappedWritesFillTheStoreAndBufferDataReplacesIt) {
  for (int kind : {TVbo::KIND_VERTEX_BUFFER, TVbo::KIND_INDEX_BUFFER}) {
    const auto buffer = TVbo::Create(kind);
    buffer->SetUsage(TVbo::USAGE_STATIC, TVbo::USAGE_DRAW);
    buffer->Bind();
    buffer->BufferData(64, nullptr);
    EXPECT_EQ(buffer->DataBuffered, 64);
    buffer->Map(TVbo::ACCESS_WRITE);
    ASSERT_NE(buffer->DataPointer, nullptr);
    TBytes written(64);
    std::iota(written.begin(), written.end(), std::uint8_t{100});
    std::copy(written.begin(), written.end(), static_cast<std::uint8_t*>(buffer->DataPointer));
    buffer->UnMap();
    EXPECT_EQ(Contents(*buffer, 64), written) << kind;

    const TBytes replacement = {9, 8, 7, 6, 5, 4, 3, 2};
    buffer->BufferData(8, replacement.data());
    EXPECT_EQ(buffer->DataBuffered, 8);
    EXPECT_EQ(Parameter(*buffer, GL_BUFFER_SIZE), 8);
    EXPECT_EQ(Contents(*buffer, 8), replacement) << kind;

    const TBytes patch = {1, 1, 1};
    buffer->BufferSubData(2, 3, patch.data());
    EXPECT_EQ(Contents(*buffer, 8), (TBytes{9, 8, 1, 1, 1, 4, 3, 2})) << kind;
  }
  EXPECT_EQ(TakeGlError(), static_cast<unsigned>(GL_NO_ERROR));
}

TEST_F(VertexBufferObjectTest, UnMapClearsDataPointerWhateverOpenGlSays) {
  const auto buffer = TVbo::Create(TVbo::KIND_VERTEX_BUFFER);
  buffer->SetUsage(TVbo::USAGE_STATIC, TVbo::USAGE_DRAW);
  buffer->Bind();
  buffer->BufferData(4, nullptr);
  int stale = 0;
  buffer->DataPointer = &stale;
  buffer->UnMap();  // not mapped: OpenGL refuses
  EXPECT_EQ(buffer->DataPointer, nullptr);
}

TEST_F(VertexBufferObjectTest, FailedMapLeavesDataPointerNull) {
  // Without SetUsage the store is never made, so there is nothing to map.
  const auto buffer = TVbo::Create(TVbo::KIND_VERTEX_BUFFER);
  buffer->Bind();
  buffer->BufferData(16, nullptr);
  EXPECT_NE(TakeGlError(), static_cast<unsigned>(GL_NO_ERROR));
  buffer->Map(TVbo::ACCESS_WRITE);
  EXPECT_EQ(buffer->DataPointer, nullptr);
}

TEST_F(VertexBufferObjectTest, DestructionDeletesTheBuffer) {
  auto buffer = TVbo::Create(TVbo::KIND_INDEX_BUFFER);
  buffer->Bind();
  const GLuint name = buffer->BufferID;
  ASSERT_TRUE(glIsBuffer(name));
  buffer.reset();
  EXPECT_FALSE(glIsBuffer(name));
  EXPECT_EQ(GlInteger(GL_ELEMENT_ARRAY_BUFFER_BINDING), 0);
}

}  // namespace
