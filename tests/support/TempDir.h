#pragma once

#include <filesystem>
#include <string>

// A fresh directory under the system's temporary folder, removed with its
// contents when the object goes.
class TTempDir {
 public:
  TTempDir();
  ~TTempDir();
  TTempDir(const TTempDir&) = delete;
  TTempDir& operator=(const TTempDir&) = delete;

  const std::filesystem::path& Path() const { return Path_; }
  std::string operator/(const std::string& name) const { return (Path_ / name).string(); }

  // Writes `bytes` to the file `name` in this directory.
  void Write(const std::string& name, const std::string& bytes) const;
  // Copies the shipped data file (Blocks.lua, Texture.png, AO.png) into this directory.
  void CopyData(const std::string& name) const;
  // Copies all three data files.
  void CopyAllData() const;

 private:
  std::filesystem::path Path_;
};

// The repository's data/ folder.
std::filesystem::path DataDir();
// Reads a whole file; empty if it cannot be read.
std::string ReadFileBytes(const std::filesystem::path& path);
