#include <GL/glew.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>

#include "gpu/Shader.h"
#include "tests/support/GlTest.h"
#include "tests/support/TempDir.h"

namespace {

const std::string kVertexSource = "void main() { gl_Position = ftransform(); }\n";
const std::string kFragmentSource = "void main() { gl_FragColor = vec4(1.0, 0.5, 0.25, 1.0); }\n";
const std::string kBrokenSource = "void main() { this is not a shader }\n";

class ShaderTest : public GlTest {
 protected:
  TTempDir Dir;

  std::string Write(const std::string& name, const std::string& text) {
    Dir.Write(name, text);
    return Dir / name;
  }
};

GLint ShaderParameter(GLuint shader, GLenum name) {
  GLint value = -1;
  glGetShaderiv(shader, name, &value);
  return value;
}

GLint ProgramParameter(GLuint program, GLenum name) {
  GLint value = -1;
  glGetProgramiv(program, name, &value);
  return value;
}

std::string InfoLog(GLuint object) {
  GLint length = 0;
  glGetObjectParameterivARB(object, GL_OBJECT_INFO_LOG_LENGTH_ARB, &length);
  std::string log(static_cast<std::size_t>(std::max(length, 1)), '\0');
  glGetInfoLogARB(object, length, nullptr, log.data());
  return log.substr(0, log.find('\0'));
}

std::string ShaderSource(GLuint shader) {
  const GLint length = ShaderParameter(shader, GL_SHADER_SOURCE_LENGTH);
  if (length <= 0) return "";
  std::string source(static_cast<std::size_t>(length), '\0');
  glGetShaderSource(shader, length, nullptr, source.data());
  return source.substr(0, source.find('\0'));
}

std::string Printed(const std::function<void()>& action) {
  ::testing::internal::CaptureStdout();
  action();
  return ::testing::internal::GetCapturedStdout();
}

TEST_F(ShaderTest, ConstructionMakesProgramAndBothShaderObjects) {
  const TShader shader;
  EXPECT_TRUE(glIsProgram(shader.ProgramObject));
  EXPECT_EQ(ShaderParameter(shader.VertexShader, GL_SHADER_TYPE), GL_VERTEX_SHADER);
  EXPECT_EQ(ShaderParameter(shader.FragmentShader, GL_SHADER_TYPE), GL_FRAGMENT_SHADER);
}

TEST_F(ShaderTest, CompileErrorPrintsHandleAndLogThenOneNewline) {
  const TShader shader;
  TShader::LoadShader("", shader.FragmentShader, kBrokenSource);
  glCompileShaderARB(shader.FragmentShader);
  const std::string log = InfoLog(shader.FragmentShader);
  ASSERT_FALSE(log.empty());
  EXPECT_EQ(Printed([&] { TShader::CheckForErrors(shader.FragmentShader); }),
            "Shader object '" + std::to_string(shader.FragmentShader) + "': " + log + "\n");
}

TEST_F(ShaderTest, EmptyLogPrintsNothing) {
  const TShader shader;
  EXPECT_EQ(Printed([&] { TShader::CheckForErrors(shader.VertexShader); }), "");
  TShader::LoadShader("", shader.VertexShader, kVertexSource);
  glCompileShaderARB(shader.VertexShader);
  ASSERT_EQ(InfoLog(shader.VertexShader), "");
  EXPECT_EQ(Printed([&] { TShader::CheckForErrors(shader.VertexShader); }), "");
}

TEST_F(ShaderTest, LoadShaderPrefersGivenSourceAndReadsFilesOtherwise) {
  const std::string vertexFile = Write("v.glsl", kVertexSource);
  const std::string emptyFile = Write("empty.glsl", "");
  struct TCase {
    std::string Name, Path, Source, Expected;
  };
  const TCase cases[] = {
      {"source, missing path", Dir / "missing.glsl", kFragmentSource, kFragmentSource},
      {"source, other file", vertexFile, kFragmentSource, kFragmentSource},
      {"file", vertexFile, "", kVertexSource},
      {"empty file", emptyFile, "", ""},
      {"missing file", Dir / "missing.glsl", "", ""},
      {"directory", Dir.Path().string(), "", ""},
  };
  for (const TCase& c : cases) {
    const TShader shader;
    EXPECT_EQ(Printed([&] { TShader::LoadShader(c.Path, shader.FragmentShader, c.Source); }), "")
        << c.Name;
    EXPECT_EQ(ShaderSource(shader.FragmentShader), c.Expected) << c.Name;
  }
}

TEST_F(ShaderTest, LoadLinksAndEnableDisableSwitchTheProgram) {
  TShader shader;
  TShader other;
  TShader& loaded = shader.Load(Write("v.glsl", kVertexSource), Write("f.glsl", kFragmentSource));
  EXPECT_EQ(&loaded, &shader);
  EXPECT_EQ(ProgramParameter(shader.ProgramObject, GL_LINK_STATUS), GL_TRUE);
  EXPECT_EQ(ProgramParameter(shader.ProgramObject, GL_ATTACHED_SHADERS), 2);
  EXPECT_EQ(ShaderParameter(shader.VertexShader, GL_DELETE_STATUS), GL_TRUE);
  EXPECT_EQ(ShaderParameter(shader.FragmentShader, GL_DELETE_STATUS), GL_TRUE);

  shader.Enable();
  EXPECT_EQ(GlInteger(GL_CURRENT_PROGRAM), static_cast<GLint>(shader.ProgramObject));
  other.Disable();  // whichever shader it is called on
  EXPECT_EQ(GlInteger(GL_CURRENT_PROGRAM), 0);
  EXPECT_EQ(TakeGlError(), static_cast<unsigned>(GL_NO_ERROR));
}

TEST_F(ShaderTest, LoadPrintsTheFailedCompileAndLinkInOrder) {
  TShader shader;
  const std::string printed =
      Printed([&] { shader.Load(Write("v.glsl", kVertexSource), Write("f.glsl", kBrokenSource)); });
  const std::string fragment = "Shader object '" + std::to_string(shader.FragmentShader) + "': ";
  const std::string program = "Shader object '" + std::to_string(shader.ProgramObject) + "': ";
  EXPECT_EQ(printed.find(fragment), 0u) << printed;
  EXPECT_NE(printed.find(program), std::string::npos) << printed;
  EXPECT_LT(printed.find(fragment), printed.find(program)) << printed;
  EXPECT_EQ(printed.back(), '\n');
  EXPECT_EQ(ProgramParameter(shader.ProgramObject, GL_LINK_STATUS), GL_FALSE);
}

TEST_F(ShaderTest, RemoveDeletesTheProgramAndSaysSo) {
  TShader shader;
  const GLuint program = shader.ProgramObject;
  EXPECT_EQ(Printed([&] { shader.Remove(); }), "Removed!\n");
  EXPECT_FALSE(glIsProgram(program));
}

TEST_F(ShaderTest, CompatibilityContextSupportsShaders) {
  EXPECT_EQ(TShader::CheckCompability(), 1);
}

}  // namespace
