#include "tests/support/ViewerProcess.h"

#include <signal.h>

#include <cerrno>
#include <filesystem>
#include <sstream>
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
  TProcessOptions options;
  options.TimeoutSeconds = timeoutSeconds;
  const TProcessResult found = RunProcess({"/usr/bin/xdotool", "search", "--sync", "--onlyvisible",
                                           "--pid", std::to_string(Pid()), "--name", "^voxelview$"},
                                          options);
  const std::string& out = found.Stdout;
  return out.substr(0, out.find('\n'));
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
