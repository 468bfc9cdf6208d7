#pragma once

#include <cstdio>
#include <memory>
#include <optional>
#include <string>

struct TFileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};
// A stdio file that closes itself; null when the open failed.
using TFileHandle = std::unique_ptr<std::FILE, TFileCloser>;

// std::fopen(path, mode), owned.
inline TFileHandle OpenFile(const std::string& path, const char* mode) {
  return TFileHandle(std::fopen(path.c_str(), mode));
}

// The whole content of the file at `path`, or nullopt if it cannot be opened or
// read to the end (a missing file, a directory, a read error). Never throws for
// I/O reasons.
std::optional<std::string> ReadWholeFile(const std::string& path);
