// voxeltool shot where there is no display (the WebAssembly build under Node):
// the command exists, so the tool takes the same command lines everywhere, and
// says where a picture can be taken instead.
#include <CLI/CLI.hpp>

#include <cstdio>

#include "tools/Commands.h"

void AddShotCommand(CLI::App& tool, int& status) {
  CLI::App* command = tool.add_subcommand("shot", "save a picture of what the viewer shows");
  command->allow_extras();
  command->callback([&status] {
    std::fputs(
        "voxeltool shot: needs an OpenGL display, which Node has not: run the desktop voxeltool, "
        "or open the page with ?shot in a browser\n",
        stderr);
    status = 1;
  });
}
