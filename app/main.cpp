#include <cstdio>
#include <cstdlib>

#include "app/Program.h"
#include "platform/GlfwPlatform.h"

int main() {
  // The command line is not read.
  static bool entered = false;
  if (entered) return 0;
  entered = true;
  TGlfwPlatform platform;
  const int status = TProgram::Run(platform);
  // The workers are never stopped or joined, and static objects they use must
  // outlive them: end at once, without running destructors.
  std::fflush(stdout);
  std::fflush(stderr);
  std::_Exit(status);
}
