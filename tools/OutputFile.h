#pragma once

#include <sys/stat.h>

#include <cstdio>
#include <filesystem>
#include <stdexcept>
#include <string>

// The one way voxeltool writes a file. What stands at the path decides how:
// - a regular file, or nothing: the file is written under a temporary name in
//   the same folder, flushed to the disk and renamed to the path only when it
//   is complete, so the path holds the old file or the whole new one, never a
//   part. A replaced file's permission bits (and its owner, where the process
//   may give it) are kept. Until the rename, SIGINT, SIGTERM and SIGHUP remove
//   the temporary file before the process ends by the signal as it otherwise
//   would, and destroying the object without Commit (any failure) removes it;
// - a symlink: the file it leads to is written as above, so the link stays
//   (a dangling link gets its target made);
// - anything else that exists (a device, a FIFO, a socket): opened and written
//   in place, never replaced; a reader there sees the bytes as they are made;
// - "-": standard output, refused when that is a terminal.
// One output file at a time per process.
class TOutputFile {
 public:
  // How the writer puts its bytes: one after the other (a PNG), or with seeks
  // from the start (a GLB, whose index comes first and is written last). A
  // target written in place that cannot take such seeks (a pipe, a FIFO, a
  // terminal) then gets the file only when it is complete, copied from an
  // unnamed temporary file in $TMPDIR or /tmp.
  enum class TOrder { Sequential, Seeking };

  // Opens the output (a FIFO: waits for its reader); throws
  // std::runtime_error with a one-line message naming the file and the reason
  // if it cannot.
  explicit TOutputFile(const std::filesystem::path& path, TOrder order = TOrder::Sequential);
  ~TOutputFile();
  TOutputFile(const TOutputFile&) = delete;
  TOutputFile& operator=(const TOutputFile&) = delete;

  // The refusals that need nothing opened: "-" while standard output is a
  // terminal, a folder, a path without a file name. Throws as the constructor
  // does; for a command that opens its file only after long work.
  static void CheckPath(const std::filesystem::path& path);

  std::FILE* Stream() { return Stream_; }
  bool IsStandardOutput() const { return StandardOutput_; }

  // Completes the file: flushes it and renames or copies it into place.
  // Throws like the constructor if that, or any write before it, failed.
  void Commit();

  // The failure to throw when writing the stream failed for `reason`, or for
  // errno `error` (0: a reason that was lost).
  std::runtime_error Failure(const std::string& reason) const;
  [[noreturn]] void Fail(int error) const;

 private:
  enum class TMode { Replace, InPlace, Spooled };

  void OpenReplacement(const std::filesystem::path& target, const struct stat* old);
  void OpenInPlace(int fd, TOrder order);
  void CopySpoolToTarget();
  void Discard();

  std::string Name_;  // as messages name it
  bool StandardOutput_ = false;
  TMode Mode_ = TMode::Replace;
  std::filesystem::path Final_;      // Replace: what the temporary file becomes
  std::filesystem::path Temporary_;  // Replace
  int Target_ = -1;                  // Spooled: where the copy goes
  std::FILE* Stream_ = nullptr;
};
