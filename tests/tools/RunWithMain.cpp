// run-with [--file-size-limit BYTES] [--terminal-output] PROGRAM ARGS...
// Runs PROGRAM the way the output tests need it run: under a file-size limit
// (setrlimit, with SIGXFSZ at its default action, so that only the program's
// own handling of the signal counts), or with standard output on a terminal
// (a new pseudo-terminal). Status 125 if that cannot be arranged.
#include <fcntl.h>
#include <sys/resource.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

constexpr int kCannotArrange = 125;

[[noreturn]] void Refuse(const char* what) {
  std::fprintf(stderr, "run-with: %s: %s\n", what, std::strerror(errno));
  std::exit(kCannotArrange);
}

// The terminal's far side stays open, and with it the terminal, for as long
// as the program runs: the descriptor is inherited and never read.
void PutStandardOutputOnATerminal() {
  const int master = posix_openpt(O_RDWR | O_NOCTTY);
  if (master < 0 || grantpt(master) != 0 || unlockpt(master) != 0) Refuse("posix_openpt");
  const char* name = ptsname(master);
  const int terminal = name ? open(name, O_RDWR | O_NOCTTY) : -1;
  if (terminal < 0 || dup2(terminal, STDOUT_FILENO) < 0) Refuse("the pseudo-terminal");
  close(terminal);
}

}  // namespace

int main(int argc, char** argv) {
  int next = 1;
  for (; next < argc && argv[next][0] == '-'; ++next) {
    const std::string option = argv[next];
    if (option == "--file-size-limit" && next + 1 < argc) {
      const rlim_t bytes = std::strtoull(argv[++next], nullptr, 10);
      rlimit limit{};
      if (getrlimit(RLIMIT_FSIZE, &limit) != 0) Refuse("getrlimit");
      limit.rlim_cur = bytes;
      if (setrlimit(RLIMIT_FSIZE, &limit) != 0) Refuse("setrlimit");
      std::signal(SIGXFSZ, SIG_DFL);
    } else if (option == "--terminal-output") {
      PutStandardOutputOnATerminal();
    } else {
      std::fprintf(stderr, "run-with: unknown option %s\n", argv[next]);
      return kCannotArrange;
    }
  }
  if (next >= argc) {
    std::fputs("run-with: no program given\n", stderr);
    return kCannotArrange;
  }
  execv(argv[next], argv + next);
  Refuse(argv[next]);
}
