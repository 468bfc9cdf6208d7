#pragma once

#include <cstdio>
#include <filesystem>
#include <string>

// A file written under a temporary name in the folder of its final path and
// renamed to that path only when it is complete, so the final path never holds
// a partial file. Until then, SIGINT, SIGTERM and SIGHUP remove the temporary
// file before the process ends by the signal as it otherwise would, and
// destroying the object without Commit removes it too (any failure).
// One output file at a time per process.
class TOutputFile {
 public:
  // Creates the temporary file; throws std::runtime_error with a one-line
  // reason if it cannot, or if `path` names a folder or no file.
  explicit TOutputFile(const std::filesystem::path& path);
  ~TOutputFile();
  TOutputFile(const TOutputFile&) = delete;
  TOutputFile& operator=(const TOutputFile&) = delete;

  std::FILE* Stream() { return Stream_; }
  const std::filesystem::path& TemporaryPath() const { return Temporary_; }

  // Closes the file and moves it onto the final path; throws
  // std::runtime_error with a one-line reason if writing or moving failed.
  void Commit();

 private:
  void Discard();

  std::filesystem::path Final_;
  std::filesystem::path Temporary_;
  std::FILE* Stream_ = nullptr;
};
