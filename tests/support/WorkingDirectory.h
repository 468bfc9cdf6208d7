#pragma once

#include <filesystem>
#include <system_error>

// Makes a directory the process's working directory for as long as the object
// lives: the program reads its data files from there.
class TWorkingDirectory {
 public:
  explicit TWorkingDirectory(const std::filesystem::path& path)
      : Previous_(std::filesystem::current_path()) {
    std::filesystem::current_path(path);
  }
  ~TWorkingDirectory() {
    std::error_code ignored;
    std::filesystem::current_path(Previous_, ignored);
  }
  TWorkingDirectory(const TWorkingDirectory&) = delete;
  TWorkingDirectory& operator=(const TWorkingDirectory&) = delete;

 private:
  std::filesystem::path Previous_;
};
