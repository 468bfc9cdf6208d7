#pragma once

namespace CLI {
class App;
}

// voxeltool as its users meet it: its name and description, the rules of its
// command line and every command with its options and help. The program runs
// it; its man page and its bash completion are made from it (tools/HelpPages),
// so that the three say the same. A command that runs stores its exit status
// in `status`.
void SetUpTool(CLI::App& tool, int& status);
