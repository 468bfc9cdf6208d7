#include "tests/support/TempDir.h"

#include <cstdlib>
#include <fstream>
#include <stdexcept>

#include "platform/ReadFile.h"

TTempDir::TTempDir() {
  std::string pattern = (std::filesystem::temp_directory_path() / "voxeltest.XXXXXX").string();
  if (!mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
  Path_ = pattern;
}

TTempDir::~TTempDir() {
  std::error_code ignored;
  std::filesystem::remove_all(Path_, ignored);
}

void TTempDir::Write(const std::string& name, const std::string& bytes) const {
  std::ofstream out(Path_ / name, std::ios::binary);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

void TTempDir::CopyData(const std::string& name) const {
  std::filesystem::copy_file(DataDir() / name, Path_ / name,
                             std::filesystem::copy_options::overwrite_existing);
}

void TTempDir::CopyAllData() const {
  for (const char* name : {"Blocks.lua", "Texture.png", "AO.png"}) CopyData(name);
}

std::filesystem::path DataDir() {
  return std::filesystem::path(VX_SOURCE_DIR) / "data";
}

std::string ReadFileBytes(const std::filesystem::path& path) {
  // Only regular files: a device could be endless.
  std::error_code error;
  if (!std::filesystem::is_regular_file(path, error)) return {};
  return ReadWholeFile(path.string()).value_or("");
}
