#pragma once

#include <cstdint>
#include <span>
#include <string>

// A GLSL program of one vertex and one fragment shader, through the ARB
// shader-object extensions. Compile and link logs go to standard output as
// "Shader object '<handle>': <log>" and a newline. The viewer itself draws with
// the fixed-function pipeline and makes no shader.
class TShader {
 public:
  // Creates the program and the two shader objects: needs a current context.
  TShader();

  std::uint32_t ProgramObject = 0;
  std::uint32_t VertexShader = 0;
  std::uint32_t FragmentShader = 0;

  // Loads both sources, compiles, attaches, flags the shaders for deletion and
  // links; a failure leaves only its printed log. Returns this shader.
  TShader& Load(const std::string& vertexPath, const std::string& fragmentPath);
  void Enable();
  // Switches off whichever program is in use.
  void Disable();
  // Deletes the program and prints "Removed!".
  void Remove();

  // Gives `shader` the text of `source`, or of the file at `path` when source is
  // empty; an unreadable or empty file sets no source.
  static void LoadShader(const std::string& path, std::uint32_t shader, const std::string& source);
  static void CheckForErrors(std::uint32_t object);
  // One character per byte, zero bytes included.
  static std::string StringFromCharArray(std::span<const std::uint8_t> bytes);
  // 1 when shaders are supported (the three ARB extensions, or OpenGL 2.0+), else 0.
  static int CheckCompability();
  // The decision itself, from the GL_EXTENSIONS and GL_VERSION strings.
  static int CheckCompability(const std::string& extensions, const std::string& version);
};
