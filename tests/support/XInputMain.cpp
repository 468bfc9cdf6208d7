// x-input escape PID [SECONDS]: waits up to SECONDS (default 600) for the
// viewer window of process PID on $DISPLAY, then types Escape into it through
// XTEST. Status 0 once Escape was typed and no key is left down; 1 if the
// window never showed up or the input failed; 2 on bad arguments. Scripts use
// it to end a viewer they started, as a user would.
#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/GlfwPlatform.h"
#include "tests/support/TempDir.h"
#include "tests/support/XInput.h"

int main(int argc, char** argv) {
  const std::string command = argc > 1 ? argv[1] : "";
  int pid = 0;
  double seconds = 600.0;
  const std::string pidText = argc > 2 ? argv[2] : "";
  const bool pidOk = std::from_chars(pidText.data(), pidText.data() + pidText.size(), pid).ptr ==
                         pidText.data() + pidText.size() &&
                     pid > 0;
  if (argc > 3) seconds = std::atof(argv[3]);
  if (command != "escape" || !pidOk || argc > 4 || seconds <= 0.0) {
    std::fputs("usage: x-input escape PID [SECONDS]\n", stderr);
    return 2;
  }
  // Gone or a zombie: its window will never come.
  const auto alive = [pid] {
    const std::string stat = ReadFileBytes("/proc/" + std::to_string(pid) + "/stat");
    const std::size_t state = stat.rfind(") ");
    return state != std::string::npos && stat.compare(state + 2, 1, "Z") != 0;
  };
  const std::string window = TXInput::FindWindow(pid, TGlfwPlatform::WINDOW_TITLE, seconds, alive);
  if (window.empty()) {
    std::fprintf(stderr, "x-input: no viewer window of process %d (%s)\n", pid,
                 alive() ? "timed out" : "it ended");
    return 1;
  }
  if (!TXInput::PressKeys(window, {"Escape"})) {
    std::fprintf(stderr, "x-input: typing Escape failed; keys held: '%s'\n",
                 TXInput::HeldKeys().c_str());
    return 1;
  }
  return 0;
}
