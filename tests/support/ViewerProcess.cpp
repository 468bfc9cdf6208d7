#include "tests/support/ViewerProcess.h"

#include <gtest/gtest.h>
#include <signal.h>

#include <cerrno>
#include <filesystem>
#include <sstream>
#include <vector>

#include "platform/GlfwPlatform.h"
#include "tests/support/TempDir.h"
#include "tests/support/XInput.h"
#include "world/Chunk.h"

bool TViewerProcess::Start(const std::string& workingDirectory, const std::string& program) {
  TProcessOptions options;
  options.WorkingDirectory = workingDirectory;
  if (!Child_.Start({program}, options)) return false;
  Pid_ = Child_.Pid();
  return true;
}

std::string TViewerProcess::WaitForWindow(double timeoutSeconds) {
  return TXInput::FindWindow(Pid_, TGlfwPlatform::WINDOW_TITLE, timeoutSeconds,
                             [this] { return !EndedEarly(); });
}

bool TViewerProcess::EndedEarly() {
  if (Ended_) return true;
  Ended_ = Child_.Poll();
  if (!Ended_) return false;
  ADD_FAILURE() << "voxelview ended while it should still run: " << Ended_->Describe();
  return true;
}

bool TViewerProcess::PressEscape(const std::string& window) {
  return TXInput::PressKeys(window, {"Escape"});
}

bool TViewerProcess::SendCloseRequest(const std::string& window) {
  return TXInput::SendCloseRequest(window);
}

TProcessResult TViewerProcess::Wait(double timeoutSeconds) {
  if (Ended_) return *Ended_;
  return Child_.Wait(timeoutSeconds);
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
    if (field.size() > 16 && field[0] == "R" && std::stoi(field[16]) == TChunk::WORKER_NICENESS)
      ++busy;
  }
  return busy;
}

bool TViewerProcess::MainThreadEnded(pid_t pid) {
  // A process's threads all end with its exit, but each must get a processor
  // to do so; the main thread stays as a zombie until they have.
  const std::string stat =
      ReadFileBytes("/proc/" + std::to_string(pid) + "/task/" + std::to_string(pid) + "/stat");
  const std::size_t nameEnd = stat.rfind(") ");
  return nameEnd == std::string::npos || stat[nameEnd + 2] == 'Z' || stat[nameEnd + 2] == 'X';
}

bool TViewerProcess::GroupExists(pid_t pgid) {
  return kill(-pgid, 0) == 0 || errno != ESRCH;
}
