#include "tests/tools/OutputCases.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/mount.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <optional>
#include <set>

#include "gpu/Image.h"
#include "tests/support/Process.h"
#include "tests/support/TempDir.h"

namespace {

namespace fs = std::filesystem;

// Bytes; every writer's file is larger, so each meets the limit while writing.
constexpr const char* kFileSizeLimit = "1024";
constexpr const char* kTmpfsOptions = "size=64k";

bool IsRoot() {
  return geteuid() == 0;
}

std::string ErrorText(const std::string& what) {
  return what + ": " + std::strerror(errno);
}

std::string OldBytes(const fs::path& path) {
  return "the previous " + path.filename().string();
}

void WriteFile(const fs::path& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

struct stat EntryOf(const fs::path& path) {
  struct stat entry {};
  EXPECT_EQ(lstat(path.c_str(), &entry), 0) << ErrorText(path.string());
  return entry;
}

// Every path under `root`, relative to it, symlinks not followed (nor
// resolved, as fs::relative would).
std::set<std::string> Names(const fs::path& root) {
  std::set<std::string> names;
  for (const auto& entry : fs::recursive_directory_iterator(root))
    names.insert(entry.path().lexically_relative(root).string());
  return names;
}

// A small tmpfs of its own on a folder (only root may mount one), unmounted
// when the object goes, so a test leaves no mount behind.
class TTmpfs {
 public:
  explicit TTmpfs(fs::path at) : At_(std::move(at)) {
    fs::create_directory(At_);
    if (mount("tmpfs", At_.c_str(), "tmpfs", MS_NOSUID | MS_NODEV, kTmpfsOptions) != 0)
      Problem_ = ErrorText("mount a tmpfs");
  }
  ~TTmpfs() {
    if (Problem_.empty() && umount(At_.c_str()) != 0) umount2(At_.c_str(), MNT_DETACH);
  }
  TTmpfs(const TTmpfs&) = delete;
  TTmpfs& operator=(const TTmpfs&) = delete;

  // Empty once mounted.
  const std::string& Problem() const { return Problem_; }

  // Takes all the room that is left with a file of its own.
  void Fill() const {
    std::ofstream filler(At_ / "filler", std::ios::binary);
    const std::string block(4096, 'x');
    for (int n = 0; n < 1000 && filler.write(block.data(), block.size()) && filler.flush(); ++n) {
    }
  }

  bool MakeReadOnly() const {
    return mount(nullptr, At_.c_str(), nullptr, MS_REMOUNT | MS_RDONLY | MS_NOSUID | MS_NODEV,
                 nullptr) == 0;
  }

 private:
  fs::path At_;
  std::string Problem_;
};

// Runs argv while reading all that the FIFO at `fifo` receives into `bytes`.
TProcessResult RunReadingFifo(const fs::path& fifo, const std::vector<std::string>& argv,
                              const TProcessOptions& options, std::string& bytes) {
  // Opened before the command starts, so that its open finds a reader; without
  // blocking, so that a command that never opens the FIFO cannot hang the test.
  const int fd = open(fifo.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) {
    ADD_FAILURE() << ErrorText("open the FIFO");
    return {};
  }
  const auto drain = [&] {
    char buffer[65536];
    for (ssize_t got; (got = read(fd, buffer, sizeof buffer)) > 0;)
      bytes.append(buffer, static_cast<std::size_t>(got));
  };
  TChildProcess child;
  std::optional<TProcessResult> result;
  if (child.Start(argv, options)) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(120);
    while (!result && std::chrono::steady_clock::now() < deadline) {
      pollfd ready = {fd, POLLIN, 0};
      poll(&ready, 1, 20);
      drain();
      result = child.Poll();
    }
    if (!result) result = child.Wait(0.0);
  }
  drain();
  close(fd);
  return result.value_or(TProcessResult{});
}

// One run of a writer in a folder of the data files, and what must hold after it.
struct TStage {
  explicit TStage(const TWriter& writer) : Writer(writer) {
    Work.CopyAllData();
    fs::create_directory(Work.Path() / "tmp");
    AimAt(Work.Path() / "out");
  }
  ~TStage() {
    if (Cleanup) Cleanup();
  }

  // The file the command writes.
  fs::path Target() const { return Folder / Writer.FileName; }

  // Puts the file the command writes into `folder` (made if missing).
  void AimAt(const fs::path& folder) {
    Folder = folder;
    fs::create_directories(folder);
    Out = Writer.OutIsFolder ? folder.string() : Target().string();
    // atlas's second file, which a failure on the first must leave alone.
    if (Writer.OutIsFolder) PutOldFile(folder / "AO.png");
  }

  // An older file, which a failing command must leave as it was.
  void PutOldFile(const fs::path& path) {
    WriteFile(path, OldBytes(path));
    OldFiles.push_back(path);
  }

  void ExpectFailure(const std::string& reason) {
    Status = 1;
    Stderr = "voxeltool " + Writer.Command + ": cannot write '" + Target().string() +
             "': " + reason + "\n";
  }

  // atlas writes two files, which standard output cannot hold apart.
  void UseStandardOutput() {
    Out = "-";
    Written = [](const TProcessResult& result) { return result.Stdout; };
    if (!Writer.OutIsFolder) return;
    Status = 2;
    Stderr =
        "voxeltool atlas: --out: standard output cannot hold two files; name a folder (./- for one "
        "named -) (see voxeltool atlas --help)\n";
  }

  void MakeNode(mode_t mode, dev_t device) {
    if (!IsRoot()) {
      Skip = "making a device node needs root";
    } else if (mknod(Target().c_str(), mode, device) != 0) {
      Skip = ErrorText("mknod");
    }
  }

  // A tmpfs of its own, holding the file the command writes.
  bool MountDisk() {
    if (!IsRoot()) {
      Skip = "mounting a tmpfs needs root";
      return false;
    }
    Disk.emplace(Work.Path() / "disk");
    Skip = Disk->Problem();
    if (!Skip.empty()) return false;
    AimAt(Work.Path() / "disk");
    return true;
  }

  TProcessResult Run() {
    std::vector<std::string> argv;
    if (!Wrapper.empty()) {
      argv.push_back(VX_RUN_WITH);
      argv.insert(argv.end(), Wrapper.begin(), Wrapper.end());
    }
    argv.push_back(VX_VOXELTOOL);
    argv.push_back(Writer.Command);
    argv.insert(argv.end(), Writer.Args.begin(), Writer.Args.end());
    argv.push_back("--out");
    argv.push_back(Out);
    TProcessOptions options;
    options.WorkingDirectory = Work.Path().string();
    options.TimeoutSeconds = 120.0;
    // Where export keeps a file for a pipe until it is complete.
    options.Environment = {"TMPDIR=" + (Work.Path() / "tmp").string()};
    if (Fifo.empty()) return RunProcess(argv, options);
    return RunReadingFifo(Fifo, argv, options, FifoBytes);
  }

  const TWriter& Writer;
  TTempDir Work;
  std::optional<TTmpfs> Disk;        // goes before Work
  fs::path Folder;                   // holds the file the command writes
  std::string Out;                   // the --out argument
  std::vector<std::string> Wrapper;  // options of run-with, if the command runs under it
  fs::path Fifo;                     // read while the command runs
  std::string FifoBytes;
  std::vector<fs::path> OldFiles;
  std::string Skip;  // why the case cannot run here

  int Status = 0;
  std::string Stderr;  // exactly
  // Where the bytes the command wrote can be read, if they can.
  std::function<std::string(const TProcessResult&)> Written;
  // Checks what stands at the path afterwards.
  std::function<void()> StandsAfter;
  std::set<std::string> Made;  // paths under Work the command adds
  std::function<void()> Cleanup;
};

struct TCase {
  const char* Name;
  void (*Prepare)(TStage& stage);
};

const TCase kCases[] = {
    {"RegularFile",
     [](TStage& s) {
       s.PutOldFile(s.Target());
       fs::permissions(s.Target(), fs::perms(0640));
       s.Written = [&s](const TProcessResult&) { return ReadFileBytes(s.Target()); };
       s.StandsAfter = [&s] { EXPECT_EQ(EntryOf(s.Target()).st_mode, S_IFREG | 0640); };
     }},
    {"NullDevice",
     [](TStage& s) {
       s.MakeNode(S_IFCHR | 0666, makedev(1, 3));
       s.StandsAfter = [&s] {
         const struct stat entry = EntryOf(s.Target());
         EXPECT_TRUE(S_ISCHR(entry.st_mode) && entry.st_rdev == makedev(1, 3));
       };
     }},
    {"FullDevice",
     [](TStage& s) {
       s.MakeNode(S_IFCHR | 0666, makedev(1, 7));
       s.ExpectFailure("No space left on device");
       s.StandsAfter = [&s] {
         const struct stat entry = EntryOf(s.Target());
         EXPECT_TRUE(S_ISCHR(entry.st_mode) && entry.st_rdev == makedev(1, 7));
       };
     }},
    {"FifoWithAReader",
     [](TStage& s) {
       ASSERT_EQ(mkfifo(s.Target().c_str(), 0644), 0) << ErrorText("mkfifo");
       s.Fifo = s.Target();
       s.Written = [&s](const TProcessResult&) { return s.FifoBytes; };
       s.StandsAfter = [&s] { EXPECT_TRUE(S_ISFIFO(EntryOf(s.Target()).st_mode)); };
     }},
    {"Socket",
     [](TStage& s) {
       const int socketFd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
       sockaddr_un address{};
       address.sun_family = AF_UNIX;
       ASSERT_LT(s.Target().native().size(), sizeof address.sun_path);
       std::strcpy(address.sun_path, s.Target().c_str());
       ASSERT_EQ(bind(socketFd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0)
           << ErrorText("bind");
       close(socketFd);
       // A socket is not opened as a file.
       s.ExpectFailure("No such device or address");
       s.StandsAfter = [&s] { EXPECT_TRUE(S_ISSOCK(EntryOf(s.Target()).st_mode)); };
     }},
    {"Symlink",
     [](TStage& s) {
       fs::create_directory(s.Work.Path() / "elsewhere");
       WriteFile(s.Work.Path() / "elsewhere" / s.Writer.FileName, OldBytes(s.Target()));
       fs::create_symlink(fs::path("..") / "elsewhere" / s.Writer.FileName, s.Target());
       s.Written = [&s](const TProcessResult&) {
         return ReadFileBytes(s.Work.Path() / "elsewhere" / s.Writer.FileName);
       };
       s.StandsAfter = [&s] {
         EXPECT_EQ(fs::read_symlink(s.Target()), fs::path("..") / "elsewhere" / s.Writer.FileName);
       };
     }},
    {"DanglingSymlink",
     [](TStage& s) {
       const std::string made = "made-" + s.Writer.FileName;
       fs::create_symlink(made, s.Target());
       s.Made = {(s.Folder / made).lexically_relative(s.Work.Path()).string()};
       s.Written = [&s, made](const TProcessResult&) { return ReadFileBytes(s.Folder / made); };
       s.StandsAfter = [&s, made] { EXPECT_EQ(fs::read_symlink(s.Target()), made); };
     }},
    {"StandardOutputIntoAPipe", [](TStage& s) { s.UseStandardOutput(); }},
    {"StandardOutputOnATerminal",
     [](TStage& s) {
       s.UseStandardOutput();
       s.Wrapper = {"--terminal-output"};
       s.Written = nullptr;
       if (s.Writer.OutIsFolder) return;
       s.Status = 1;
       s.Stderr = "voxeltool " + s.Writer.Command +
                  ": cannot write to standard output: it is a terminal; send it into a pipe or a "
                  "file\n";
     }},
    {"FileSizeLimit",
     [](TStage& s) {
       s.PutOldFile(s.Target());
       s.Wrapper = {"--file-size-limit", kFileSizeLimit};
       s.ExpectFailure("File too large");
     }},
    {"FullDisk",
     [](TStage& s) {
       if (!s.MountDisk()) return;
       s.PutOldFile(s.Target());
       s.Disk->Fill();
       s.ExpectFailure("No space left on device");
     }},
    {"ReadOnlyFolder",
     [](TStage& s) {
       // Root writes into any folder; a read-only file system refuses it too.
       if (IsRoot()) {
         if (!s.MountDisk()) return;
         s.PutOldFile(s.Target());
         if (!s.Disk->MakeReadOnly()) s.Skip = ErrorText("remount the tmpfs read-only");
         s.ExpectFailure("Read-only file system");
         return;
       }
       s.AimAt(s.Work.Path() / "read-only");
       s.PutOldFile(s.Target());
       fs::permissions(s.Folder, fs::perms(0555));
       s.Cleanup = [&s] { fs::permissions(s.Folder, fs::perms(0755)); };
       s.ExpectFailure("Permission denied");
     }},
};

}  // namespace

testing::internal::ParamGenerator<TOutputParam> EveryOutputCase(
    const std::vector<TWriter>& writers) {
  return testing::Combine(testing::ValuesIn(writers),
                          testing::Range(0, static_cast<int>(std::size(kCases))));
}

std::string OutputTestName(const testing::TestParamInfo<TOutputParam>& info) {
  return std::get<0>(info.param).Command + "_" + kCases[std::get<1>(info.param)].Name;
}

bool IsWholePng(const std::string& bytes) {
  return TImage::DecodePng({reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()})
      .has_value();
}

bool IsWholeGlb(const std::string& bytes) {
  if (bytes.size() < 12 || bytes.compare(0, 4, "glTF") != 0) return false;
  std::uint32_t version = 0, length = 0;
  std::memcpy(&version, bytes.data() + 4, 4);
  std::memcpy(&length, bytes.data() + 8, 4);
  return version == 2 && length == bytes.size();
}

TEST_P(OutputTest, WhatStandsAtThePathDecidesHowItIsWritten) {
  const auto& [writer, index] = GetParam();
  TStage stage(writer);
  kCases[index].Prepare(stage);
  if (HasFatalFailure()) return;
  if (!stage.Skip.empty()) GTEST_SKIP() << stage.Skip;
  const std::set<std::string> before = Names(stage.Work.Path());

  const TProcessResult result = stage.Run();
  if (!stage.Wrapper.empty() && result.ExitCode == 125) GTEST_SKIP() << result.Stderr;
  EXPECT_EQ(result.ExitCode, stage.Status) << result.Describe();
  EXPECT_EQ(result.Stderr, stage.Stderr);
  if (stage.Status == 0 && stage.Written) {
    EXPECT_TRUE(writer.IsWhole(stage.Written(result))) << "not a whole file";
  }
  if (stage.StandsAfter) stage.StandsAfter();
  for (const fs::path& old : stage.OldFiles) {
    if (stage.Status != 0) {
      EXPECT_EQ(ReadFileBytes(old), OldBytes(old)) << old;
    }
  }
  if (writer.OutIsFolder && stage.Status == 0) {
    EXPECT_TRUE(writer.IsWhole(ReadFileBytes(stage.Folder / "AO.png")));
  }
  // No temporary file left, here or in TMPDIR, and nothing else made.
  std::set<std::string> expected = before;
  expected.insert(stage.Made.begin(), stage.Made.end());
  EXPECT_EQ(Names(stage.Work.Path()), expected);
}
