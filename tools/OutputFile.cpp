#include "tools/OutputFile.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <stdexcept>

namespace {

constexpr int kCleanupSignals[] = {SIGINT, SIGTERM, SIGHUP};

// What the signal handler reads: written while no handler is installed, or
// before Armed is set.
char PendingPath[4096];
volatile std::sig_atomic_t Armed = 0;
struct sigaction PreviousActions[std::size(kCleanupSignals)];

// Removes the temporary file, then lets the signal end the process as it would
// have: the handler is reset on entry (SA_RESETHAND), and the signal raised
// again is delivered when the handler returns.
void RemovePendingFile(int signal) {
  if (Armed) unlink(PendingPath);
  raise(signal);
}

void InstallHandlers() {
  struct sigaction action {};
  action.sa_handler = RemovePendingFile;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESETHAND;
  for (std::size_t n = 0; n < std::size(kCleanupSignals); ++n)
    sigaction(kCleanupSignals[n], &action, &PreviousActions[n]);
}

void RestoreHandlers() {
  for (std::size_t n = 0; n < std::size(kCleanupSignals); ++n)
    sigaction(kCleanupSignals[n], &PreviousActions[n], nullptr);
}

// Appended piece by piece: GCC 12 warns (-Wrestrict) about "'" + string.
std::string Quoted(const std::filesystem::path& path) {
  std::string quoted = "'";
  quoted += path.string();
  quoted += '\'';
  return quoted;
}

}  // namespace

TOutputFile::TOutputFile(const std::filesystem::path& path) : Final_(path) {
  std::error_code error;
  if (std::filesystem::is_directory(path, error))
    throw std::runtime_error("cannot write " + Quoted(path) + ": it is a folder");
  if (!path.has_filename())
    throw std::runtime_error("cannot write " + Quoted(path) + ": no file name");
  const std::filesystem::path folder = path.parent_path();
  const std::string name = path.filename().string();
  // Hidden, and unique to this process; O_EXCL never takes over another's file.
  int fd = -1;
  for (int attempt = 0; fd < 0; ++attempt) {
    Temporary_ = folder / ("." + name + "." + std::to_string(getpid()) + "." +
                           std::to_string(attempt) + ".part");
    fd = open(Temporary_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0 && (errno != EEXIST || attempt == 100))
      throw std::runtime_error("cannot write " + Quoted(path) + ": " + std::strerror(errno));
  }
  Stream_ = fdopen(fd, "wb");
  if (!Stream_) {
    const int reason = errno;
    close(fd);
    unlink(Temporary_.c_str());
    throw std::runtime_error("cannot write " + Quoted(path) + ": " + std::strerror(reason));
  }
  if (Temporary_.native().size() < sizeof PendingPath) {
    std::memcpy(PendingPath, Temporary_.c_str(), Temporary_.native().size() + 1);
    InstallHandlers();
    Armed = 1;
  }
}

TOutputFile::~TOutputFile() {
  if (Stream_) Discard();
}

void TOutputFile::Commit() {
  // A failed write leaves the error flag; the reason was reported where it failed.
  std::string problem = std::ferror(Stream_) ? "a write failed" : "";
  if (std::fflush(Stream_) != 0 && problem.empty()) problem = std::strerror(errno);
  if (std::fclose(Stream_) != 0 && problem.empty()) problem = std::strerror(errno);
  Stream_ = nullptr;
  if (problem.empty() && std::rename(Temporary_.c_str(), Final_.c_str()) != 0)
    problem = std::strerror(errno);
  if (!problem.empty()) {
    Discard();
    throw std::runtime_error("cannot write " + Quoted(Final_) + ": " + problem);
  }
  // Disarmed only now: a signal before the rename must still remove the file.
  Armed = 0;
  RestoreHandlers();
}

void TOutputFile::Discard() {
  if (Stream_) std::fclose(Stream_);
  Stream_ = nullptr;
  unlink(Temporary_.c_str());
  if (Armed) {
    Armed = 0;
    RestoreHandlers();
  }
}
