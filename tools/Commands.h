#pragma once

namespace CLI {
class App;
}

// The subcommands of voxeltool. Each adds itself to the tool with its options
// and help; when the command line selects it, it runs and stores the exit
// status in `status`. A bad argument that the options cannot catch is thrown
// as CLI::ValidationError, so every usage error is reported the same way
// (status 2); a failure to do the work is thrown as any other std::exception
// (one line, status 1).
void AddAtlasCommand(CLI::App& tool, int& status);
void AddBlocksCommand(CLI::App& tool, int& status);
void AddDigestCommand(CLI::App& tool, int& status);
void AddBenchCommand(CLI::App& tool, int& status);
void AddShotCommand(CLI::App& tool, int& status);
void AddMapCommand(CLI::App& tool, int& status);
void AddExportCommand(CLI::App& tool, int& status);
void AddGenerateCommand(CLI::App& tool, int& status);
