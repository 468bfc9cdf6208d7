#pragma once

#include <string>
#include <vector>

// The subcommands of voxeltool; each takes the arguments after its name and
// returns the process's exit status.
int RunAtlasCommand(const std::vector<std::string>& args);
int RunBlocksCommand(const std::vector<std::string>& args);
int RunDigestCommand(const std::vector<std::string>& args);
int RunBenchCommand(const std::vector<std::string>& args);
int RunShotCommand(const std::vector<std::string>& args);
