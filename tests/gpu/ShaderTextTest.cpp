#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "gpu/Shader.h"

namespace {

TEST(StringFromCharArray, KeepsEveryByteZerosIncluded) {
  const std::vector<std::uint8_t> hi = {72, 105, 0};
  const std::string text = TShader::StringFromCharArray(hi);
  ASSERT_EQ(text.size(), 3u);
  EXPECT_EQ(text.substr(0, 2), "Hi");
  EXPECT_EQ(text[2], '\0');

  const std::vector<std::uint8_t> high = {255, 0, 128};
  const std::string bytes = TShader::StringFromCharArray(high);
  ASSERT_EQ(bytes.size(), 3u);
  EXPECT_EQ(static_cast<unsigned char>(bytes[0]), 255);
  EXPECT_EQ(static_cast<unsigned char>(bytes[2]), 128);
}

TEST(CheckCompability, ExtensionsOrVersionTwo) {
  const std::string all =
      "GL_ARB_multitexture GL_ARB_shader_objects GL_ARB_vertex_shader "
      "GL_ARB_fragment_shader GL_EXT_fog_coord";
  const std::string noFragment = "GL_ARB_shader_objects GL_ARB_vertex_shader";
  const std::string noVertex = "GL_ARB_shader_objects GL_ARB_fragment_shader";
  const std::string noObjects = "GL_ARB_vertex_shader GL_ARB_fragment_shader";
  struct TCase {
    std::string Extensions, Version;
    int Expected;
  };
  const TCase cases[] = {
      {"", "2.0 Mesa", 1},
      {"", "2.1.2 NVIDIA", 1},
      {"", "4.5 (Compatibility Profile) Mesa 23.2.1", 1},
      {all, "1.5", 1},
      {all, "1.2.1", 1},
      {noFragment, "1.5", 0},
      {noVertex, "1.5", 0},
      {noObjects, "1.5.0", 0},
      {"", "1.4", 0},
      {"", "", 0},
  };
  for (const TCase& c : cases) {
    EXPECT_EQ(TShader::CheckCompability(c.Extensions, c.Version), c.Expected)
        << "'" << c.Extensions << "' / '" << c.Version << "'";
  }
}

}  // namespace
