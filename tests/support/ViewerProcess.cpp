#include "tests/support/ViewerProcess.h"

#include <signal.h>

#include <cerrno>
#include <chrono>
#include <filesystem>
#include <sstream>
#include <thread>
#include <vector>

#include "tests/support/TempDir.h"

namespace {

// The nice value that world/ChunkWorkers.cpp gives each worker thread.
constexpr int kWorkerNice = 10;

bool Xdotool(const std::vector<std::string>& args) {
  std::vector<std::string> argv = {"/usr/bin/xdotool"};
  argv.insert(argv.end(), args.begin(), args.end());
  TProcessOptions options;
  options.TimeoutSeconds = 10.0;
  return RunProcess(argv, options).ExitCode == 0;
}

}  // namespace

bool TViewerProcess::Start(const std::string& workingDirectory) {
  TProcessOptions options;
  options.WorkingDirectory = workingDirectory;
  return Child_.Start({VX_VOXELVIEW}, options);
}

std::string TViewerProcess::WaitForWindow(double timeoutSeconds) const {
  return FindWindow(Pid(), timeoutSeconds);
}

std::string TViewerProcess::FindWindow(pid_t pid, double timeoutSeconds) {
  // One search at a time, retried: a search walks every window on the display,
  // and xdotool gives up with BadWindow when another test's window disappears
  // during the walk.
  const auto deadline =
      std::chrono::steady_clock::now() + std::chrono::duration<double>(timeoutSeconds);
  TProcessOptions options;
  options.TimeoutSeconds = 10.0;
  do {
    const TProcessResult found = RunProcess({"/usr/bin/xdotool", "search", "--onlyvisible", "--pid",
                                             std::to_string(pid), "--name", "^voxelview$"},
                                            options);
    if (found.ExitCode == 0 && !found.Stdout.empty()) {
      return found.Stdout.substr(0, found.Stdout.find('\n'));
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  } while (std::chrono::steady_clock::now() < deadline);
  return {};
}

bool TViewerProcess::PressEscape(const std::string& window) {
  return Xdotool({"windowfocus", "--sync", window}) &&
         Xdotool({"key", "--window", window, "Escape"});
}

bool TViewerProcess::SendCloseRequest(const std::string& window) {
  TProcessOptions options;
  options.TimeoutSeconds = 10.0;
  return RunProcess({VX_SEND_CLOSE_REQUEST, window}, options).ExitCode == 0;
}

int TViewerProcess::BusyWorkers(pid_t pid) {
  int busy = 0;
  std::error_code error;
  const std::filesystem::path tasks = "/proc/" + std::to_string(pid) + "/task";
  for (const auto& task : std::filesystem::directory_iterator(tasks, error)) {
    // After the parenthesised name: state (field 3) ... nice (field 19).
    const std::string stat = ReadFileBytes(task.path() / "stat");
    const std::size_t nameEnd = stat.rfind(')');
    if (nameEnd == std::string::npos) continue;
    std::istringstream fields(stat.substr(nameEnd + 1));
    std::vector<std::string> field;
    for (std::string f; fields >> f;) field.push_back(f);
    if (field.size() > 16 && field[0] == "R" && std::stoi(field[16]) == kWorkerNice) ++busy;
  }
  return busy;
}

bool TViewerProcess::GroupExists(pid_t pgid) {
  return kill(-pgid, 0) == 0 || errno != ESRCH;
}
