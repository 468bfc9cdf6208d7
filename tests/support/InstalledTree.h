#pragma once

#include <filesystem>
#include <string>

#include "tests/support/TempDir.h"

// What `cmake --install` makes of this build, under a fresh prefix of its own:
// the programs, the data and the documents as a user gets them.
class TInstalledTree {
 public:
  // Installs; a test failure with cmake's output if that fails.
  TInstalledTree();

  bool Installed() const { return Installed_; }
  const std::filesystem::path& Prefix() const { return Prefix_.Path(); }
  std::string operator/(const std::string& path) const { return Prefix_ / path; }

 private:
  TTempDir Prefix_;
  bool Installed_ = false;
};
