#include "gpu/Shader.h"

#include <GL/glew.h>

#include <cstdio>
#include <cstdlib>
#include <optional>
#include <vector>

#include "platform/ReadFile.h"

TShader::TShader()
    : ProgramObject(glCreateProgramObjectARB()),
      VertexShader(glCreateShaderObjectARB(GL_VERTEX_SHADER_ARB)),
      FragmentShader(glCreateShaderObjectARB(GL_FRAGMENT_SHADER_ARB)) {}

TShader& TShader::Load(const std::string& vertexPath, const std::string& fragmentPath) {
  LoadShader(vertexPath, VertexShader, "");
  LoadShader(fragmentPath, FragmentShader, "");
  glCompileShaderARB(VertexShader);
  CheckForErrors(VertexShader);
  glCompileShaderARB(FragmentShader);
  CheckForErrors(FragmentShader);
  glAttachObjectARB(ProgramObject, VertexShader);
  glAttachObjectARB(ProgramObject, FragmentShader);
  // Only flagged while attached: they go with the program.
  glDeleteObjectARB(VertexShader);
  glDeleteObjectARB(FragmentShader);
  glLinkProgramARB(ProgramObject);
  CheckForErrors(ProgramObject);
  return *this;
}

void TShader::Enable() {
  glUseProgramObjectARB(ProgramObject);
}

void TShader::Disable() {
  glUseProgramObjectARB(0);
}

void TShader::Remove() {
  glDeleteObjectARB(ProgramObject);
  std::fputs("Removed!\n", stdout);
  std::fflush(stdout);
}

void TShader::LoadShader(const std::string& path, std::uint32_t shader, const std::string& source) {
  std::string text = source;
  if (text.empty()) {
    std::optional<std::string> file = ReadWholeFile(path);
    if (!file) return;
    text = std::move(*file);
  }
  if (text.empty()) return;
  const GLcharARB* sources[1] = {text.c_str()};
  const GLint lengths[1] = {static_cast<GLint>(text.size())};
  glShaderSourceARB(shader, 1, sources, lengths);
}

void TShader::CheckForErrors(std::uint32_t object) {
  GLint length = 0;
  glGetObjectParameterivARB(object, GL_OBJECT_INFO_LOG_LENGTH_ARB, &length);
  if (length <= 0) return;
  std::vector<std::uint8_t> log(static_cast<std::size_t>(length), 0);
  GLsizei written = 0;
  glGetInfoLogARB(object, length, &written, reinterpret_cast<GLcharARB*>(log.data()));
  const std::string message =
      "Shader object '" + std::to_string(object) + "': " + StringFromCharArray(log);
  // Printed up to the log's terminating zero byte.
  std::fputs(message.c_str(), stdout);
  std::fflush(stdout);
  std::fputs("\n", stdout);
  std::fflush(stdout);
}

std::string TShader::StringFromCharArray(std::span<const std::uint8_t> bytes) {
  return std::string(bytes.begin(), bytes.end());
}

int TShader::CheckCompability() {
  const auto* extensions = reinterpret_cast<const char*>(glGetString(GL_EXTENSIONS));
  const auto* version = reinterpret_cast<const char*>(glGetString(GL_VERSION));
  return CheckCompability(extensions ? extensions : "", version ? version : "");
}

int TShader::CheckCompability(const std::string& extensions, const std::string& version) {
  std::string digits;
  for (char c : version.substr(0, 3)) {
    if (c != '.') digits += c;
  }
  const int number = std::atoi(digits.c_str());
  const bool hasAll = extensions.find("GL_ARB_shader_objects") != std::string::npos &&
                      extensions.find("GL_ARB_vertex_shader") != std::string::npos &&
                      extensions.find("GL_ARB_fragment_shader") != std::string::npos;
  return (hasAll || number >= 20) ? 1 : 0;
}
