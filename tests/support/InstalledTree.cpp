#include "tests/support/InstalledTree.h"

#include <gtest/gtest.h>

#include "tests/support/Process.h"

TInstalledTree::TInstalledTree() {
  TProcessOptions options;
  options.TimeoutSeconds = 120.0;
  const TProcessResult result = RunProcess(
      {VX_CMAKE, "--install", VX_BINARY_DIR, "--prefix", Prefix_.Path().string()}, options);
  Installed_ = result.ExitCode == 0;
  if (!Installed_) ADD_FAILURE() << "cmake --install: " << result.Describe() << result.Stdout;
}
