#include <CLI/CLI.hpp>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "tools/CommandLine.h"

namespace {

// The name of the subcommand the command line chose, for error messages.
std::string CommandName(const CLI::App& tool) {
  std::string name = "voxeltool";
  for (const CLI::App* command : tool.get_subcommands()) name += " " + command->get_name();
  return name;
}

bool IsCommand(CLI::App& tool, const std::string& name) {
  return !tool.get_subcommands([&](CLI::App* command) { return command->check_name(name); })
              .empty();
}

}  // namespace

int main(int argc, char** argv) {
  // Past a file-size limit (ulimit -f) a write then fails with EFBIG, which is
  // reported and cleaned up like any failed write, instead of the signal
  // ending the program with a partial file.
  std::signal(SIGXFSZ, SIG_IGN);
  CLI::App tool;
  int status = 0;
  SetUpTool(tool, status);

  try {
    // CLI11 would only say that a command is required.
    if (argc > 1 && argv[1][0] != '-' && !IsCommand(tool, argv[1]))
      throw CLI::ExtrasError("unknown command '" + std::string(argv[1]) + "'",
                             CLI::ExitCodes::ExtrasError);
    tool.parse(argc, argv);
  } catch (const CLI::CallForHelp& help) {
    status = tool.exit(help);
  } catch (const CLI::CallForAllHelp& help) {
    status = tool.exit(help);
  } catch (const CLI::ParseError& error) {
    // One line: what was wrong, and where to read more.
    const std::string name = CommandName(tool);
    std::fprintf(stderr, "%s: %s (see %s --help)\n", name.c_str(), error.what(), name.c_str());
    status = 2;
  } catch (const std::exception& error) {
    // A command that cannot do its work (a file it cannot write, ...) throws;
    // what it had made so far is gone with the unwinding.
    std::fprintf(stderr, "%s: %s\n", CommandName(tool).c_str(), error.what());
    status = 1;
  }
  // Worker threads may still exist: end without running static destructors.
  std::fflush(stdout);
  std::fflush(stderr);
  std::_Exit(status);
}
