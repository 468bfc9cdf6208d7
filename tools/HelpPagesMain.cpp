// voxeltool-pages man TEMPLATE OUT | completion OUT: writes voxeltool's man
// page (TEMPLATE holds its hand-written part) or its bash completion, both made
// from the tool's own command line. The build runs it; it is not installed.
#include <CLI/CLI.hpp>

#include <cstdio>
#include <exception>
#include <fstream>
#include <sstream>
#include <string>

#include "tools/CommandLine.h"
#include "tools/HelpPages.h"

namespace {

std::string ReadText(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw std::runtime_error("cannot read " + path);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

void WriteText(const std::string& path, const std::string& text) {
  std::ofstream out(path, std::ios::binary);
  out << text;
  out.close();
  if (!out) throw std::runtime_error("cannot write " + path);
}

}  // namespace

int main(int argc, char** argv) {
  const std::string what = argc > 1 ? argv[1] : "";
  if (!((what == "man" && argc == 4) || (what == "completion" && argc == 3))) {
    std::fputs("usage: voxeltool-pages man TEMPLATE OUT | completion OUT\n", stderr);
    return 2;
  }
  CLI::App tool;
  int status = 0;
  SetUpTool(tool, status);
  try {
    if (what == "man") {
      WriteText(argv[3],
                THelpPages::ManPage(tool, ReadText(argv[2]), VX_VERSION, VX_INSTALLED_DATADIR));
    } else {
      WriteText(argv[2], THelpPages::BashCompletion(tool));
    }
  } catch (const std::exception& error) {
    std::fprintf(stderr, "voxeltool-pages: %s\n", error.what());
    return 1;
  }
  return 0;
}
