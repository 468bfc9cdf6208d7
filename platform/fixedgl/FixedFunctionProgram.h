#pragma once

#include "platform/fixedgl/FixedFunctionState.h"

// The layer's one shader program (FixedFunctionShader) on the backend, and the
// loading of the emulated state into its uniforms. Made and used on the thread
// whose context is current.
class TFixedFunctionProgram {
 public:
  // Which parts of the state changed since the last Upload.
  static constexpr unsigned CHANGED_MATRICES = 1;
  static constexpr unsigned CHANGED_LIGHTING = 2;
  static constexpr unsigned CHANGED_FOG = 4;
  static constexpr unsigned CHANGED_TEXTURING = 8;
  static constexpr unsigned CHANGED_ALL = 15;

  // Compiles and links; a failure ends the program with the backend's log.
  TFixedFunctionProgram();
  ~TFixedFunctionProgram();
  TFixedFunctionProgram(const TFixedFunctionProgram&) = delete;
  TFixedFunctionProgram& operator=(const TFixedFunctionProgram&) = delete;

  GLuint Name() const { return program_; }
  // Loads the `changed` parts of `state` into the uniforms; the program must be current.
  void Upload(const TFixedFunctionState& state, unsigned changed);

 private:
  GLuint program_ = 0;
  GLint modelView_ = -1, projection_ = -1, normalMatrix_ = -1;
  GLint lighting_ = -1, colorMaterial_ = -1, sceneAmbient_ = -1, lightCount_ = -1;
  GLint lightAmbient_ = -1, lightDiffuse_ = -1, lightPosition_ = -1;
  GLint lightSpotDirection_ = -1, lightAttenuation_ = -1, lightSpot_ = -1;
  GLint textureMask_ = -1, fogMode_ = -1, fogColor_ = -1, fogParams_ = -1;
};
