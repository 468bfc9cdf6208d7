#include "tools/OutputFile.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <system_error>
#include <vector>

namespace {

constexpr int kCleanupSignals[] = {SIGINT, SIGTERM, SIGHUP};
// The kernel gives up after as many symlinks in one path (ELOOP).
constexpr int kMaxLinks = 40;

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

std::string Reason(int error) {
  return error != 0 ? std::strerror(error) : "a write failed";
}

std::string TemporaryFolder() {
  const char* folder = std::getenv("TMPDIR");
  return folder && *folder ? folder : "/tmp";
}

// A file without a name, so that it is gone however the process ends.
int UnnamedTemporaryFile() {
  const std::string folder = TemporaryFolder();
  int fd = open(folder.c_str(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0600);
  if (fd >= 0 || (errno != EOPNOTSUPP && errno != EISDIR)) return fd;
  // A file system without O_TMPFILE: a name only until it is removed.
  std::string name = folder + "/.voxeltool.XXXXXX";
  fd = mkostemp(name.data(), O_CLOEXEC);
  if (fd >= 0) unlink(name.c_str());
  return fd;
}

// Where the chain of symlinks that starts at `path` ends in nothing (or
// `path` itself if it is no symlink): the file to make. Nothing if the chain
// is too long.
std::optional<std::filesystem::path> DanglingTarget(std::filesystem::path path) {
  for (int n = 0; n <= kMaxLinks; ++n) {
    struct stat entry {};
    if (lstat(path.c_str(), &entry) != 0 || !S_ISLNK(entry.st_mode)) return path;
    std::error_code error;
    const std::filesystem::path text = std::filesystem::read_symlink(path, error);
    if (error) return path;
    path = text.is_absolute() ? text : path.parent_path() / text;
  }
  return std::nullopt;
}

// 0, or the errno of what failed.
int CopyAll(int from, int to) {
  if (lseek(from, 0, SEEK_SET) != 0) return errno;
  std::vector<char> buffer(1 << 16);
  for (;;) {
    const ssize_t got = read(from, buffer.data(), buffer.size());
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) return errno;
    if (got == 0) return 0;
    for (ssize_t done = 0; done < got;) {
      const ssize_t put = write(to, buffer.data() + done, static_cast<std::size_t>(got - done));
      if (put < 0 && errno == EINTR) continue;
      if (put < 0) return errno;
      done += put;
    }
  }
}

}  // namespace

void TOutputFile::CheckPath(const std::filesystem::path& path) {
  if (path == "-") {
    if (isatty(STDOUT_FILENO))
      throw std::runtime_error(
          "cannot write to standard output: it is a terminal; send it into a pipe or a file");
    return;
  }
  std::error_code error;
  if (std::filesystem::is_directory(path, error))
    throw std::runtime_error("cannot write " + Quoted(path) + ": it is a folder");
  if (!path.has_filename())
    throw std::runtime_error("cannot write " + Quoted(path) + ": no file name");
}

TOutputFile::TOutputFile(const std::filesystem::path& path, TOrder order)
    : Name_(path == "-" ? "to standard output" : Quoted(path)), StandardOutput_(path == "-") {
  CheckPath(path);
  if (StandardOutput_) {
    const int fd = fcntl(STDOUT_FILENO, F_DUPFD_CLOEXEC, 0);
    if (fd < 0) Fail(errno);
    OpenInPlace(fd, order);
    return;
  }
  struct stat target {};
  if (stat(path.c_str(), &target) == 0) {
    if (S_ISREG(target.st_mode)) {
      struct stat entry {};
      std::error_code error;
      const bool link = lstat(path.c_str(), &entry) == 0 && S_ISLNK(entry.st_mode);
      const std::filesystem::path real = link ? std::filesystem::canonical(path, error) : path;
      if (error) Fail(error.value());
      OpenReplacement(real, &target);
    } else {
      // Through the path itself, symlinks and all: /dev/stdout leads to a pipe
      // by a link no text names.
      const int fd = open(path.c_str(), O_WRONLY | O_NOCTTY | O_CLOEXEC);
      if (fd < 0) Fail(errno);
      OpenInPlace(fd, order);
    }
  } else if (errno == ENOENT) {
    const std::optional<std::filesystem::path> made = DanglingTarget(path);
    if (!made) Fail(ELOOP);
    OpenReplacement(*made, nullptr);
  } else {
    Fail(errno);
  }
}

void TOutputFile::OpenReplacement(const std::filesystem::path& target, const struct stat* old) {
  Mode_ = TMode::Replace;
  Final_ = target;
  const std::filesystem::path folder = target.parent_path();
  const std::string name = target.filename().string();
  // Hidden, and unique to this process; O_EXCL never takes over another's
  // file. Private until it has the old file's bits.
  int fd = -1;
  for (int attempt = 0; fd < 0; ++attempt) {
    Temporary_ = folder / ("." + name + "." + std::to_string(getpid()) + "." +
                           std::to_string(attempt) + ".part");
    fd = open(Temporary_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, old ? 0600 : 0666);
    if (fd < 0 && (errno != EEXIST || attempt == 100)) Fail(errno);
  }
  const auto abandon = [&](int error) {
    close(fd);
    unlink(Temporary_.c_str());
    Fail(error);
  };
  if (old) {
    // The owner before the bits, since a change of owner clears set-ID bits.
    // Where the process may not give the file away, it stays the process's own.
    if (fchown(fd, old->st_uid, old->st_gid) != 0) {
    }
    if (fchmod(fd, old->st_mode & 07777) != 0) abandon(errno);
  }
  Stream_ = fdopen(fd, "wb");
  if (!Stream_) abandon(errno);
  if (Temporary_.native().size() < sizeof PendingPath) {
    std::memcpy(PendingPath, Temporary_.c_str(), Temporary_.native().size() + 1);
    InstallHandlers();
    Armed = 1;
  }
}

void TOutputFile::OpenInPlace(int fd, TOrder order) {
  Mode_ = TMode::InPlace;
  const bool fromStart = lseek(fd, 0, SEEK_CUR) == 0 && (fcntl(fd, F_GETFL) & O_APPEND) == 0;
  if (order == TOrder::Seeking && !fromStart) {
    const int spool = UnnamedTemporaryFile();
    if (spool < 0) {
      const int error = errno;
      close(fd);
      throw std::runtime_error("cannot write " + Name_ + ": " + Reason(error) +
                               " (making a copy in " + TemporaryFolder() +
                               " to keep until it is complete)");
    }
    Mode_ = TMode::Spooled;
    Target_ = fd;
    fd = spool;
  }
  Stream_ = fdopen(fd, "wb");
  if (!Stream_) {
    const int error = errno;
    close(fd);
    if (Target_ >= 0) close(Target_);
    Target_ = -1;
    Fail(error);
  }
}

TOutputFile::~TOutputFile() {
  if (Stream_) Discard();
}

std::runtime_error TOutputFile::Failure(const std::string& reason) const {
  std::string message = "cannot write " + Name_ + ": " + reason;
  if (Mode_ == TMode::Spooled)
    message += " (in its copy in " + TemporaryFolder() + ", kept until it is complete)";
  return std::runtime_error(message);
}

void TOutputFile::Fail(int error) const {
  throw Failure(Reason(error));
}

void TOutputFile::Commit() {
  // A failed write leaves the error flag; its errno may since have changed,
  // and the writer reports it where it can.
  std::string problem = std::ferror(Stream_) ? Reason(0) : "";
  const auto note = [&problem](int error) {
    if (problem.empty()) problem = Reason(error);
  };
  const auto fail = [this, &problem] {
    const std::runtime_error failure = Failure(problem);
    Discard();
    throw failure;
  };
  if (std::fflush(Stream_) != 0) note(errno);
  // On the disk before the name moves, so that a crash leaves the old file or
  // the new one. File systems that cannot sync say EINVAL.
  if (Mode_ == TMode::Replace && fsync(fileno(Stream_)) != 0 && errno != EINVAL) note(errno);
  if (Mode_ == TMode::Spooled) {
    if (!problem.empty()) fail();
    int error = CopyAll(fileno(Stream_), Target_);
    if (close(Target_) != 0 && error == 0) error = errno;
    Target_ = -1;
    Discard();
    if (error != 0) throw std::runtime_error("cannot write " + Name_ + ": " + Reason(error));
    return;
  }
  if (std::fclose(Stream_) != 0) note(errno);
  Stream_ = nullptr;
  if (Mode_ == TMode::Replace && problem.empty() &&
      std::rename(Temporary_.c_str(), Final_.c_str()) != 0)
    note(errno);
  if (!problem.empty()) fail();
  if (Mode_ == TMode::Replace && Armed) {
    // Disarmed only now: a signal before the rename must still remove the file.
    Armed = 0;
    RestoreHandlers();
  }
}

void TOutputFile::Discard() {
  if (Stream_) std::fclose(Stream_);
  Stream_ = nullptr;
  if (Target_ >= 0) close(Target_);
  Target_ = -1;
  if (Mode_ != TMode::Replace) return;
  unlink(Temporary_.c_str());
  if (Armed) {
    Armed = 0;
    RestoreHandlers();
  }
}
