#pragma once

#include <set>
#include <string>
#include <vector>

#include "tests/support/Process.h"
#include "tests/support/TempDir.h"

// What the tests of voxeltool's region commands (map, export) share: the
// command line, a run in a data folder, and the check that an interrupted run
// leaves nothing behind.

// A region in chunk coordinates, both corners inclusive.
struct TRegion {
  int X0, Z0, X1, Z1;
};

// voxeltool COMMAND --from X0 Z0 --to X1 Z1 --out OUT
std::vector<std::string> RegionArguments(const std::string& command, const TRegion& r,
                                         const std::string& out);

// Runs argv with `dir` as the working directory, as a user runs the tool
// from a folder holding the data files.
TProcessResult RunIn(const TTempDir& dir, const std::vector<std::string>& argv);

// The names of the files in `dir`.
std::set<std::string> FileNames(const TTempDir& dir);

// A command line the tool must refuse, and how.
struct TRefusal {
  std::vector<std::string> Args;  // after voxeltool COMMAND
  int Status;
  std::string Stderr;  // exact where the tool defines the text, else its start
  bool Exact;
};

// Runs COMMAND with each refusal's arguments in a folder of the data files and
// checks that it fails with that status and one line, writing no file.
void ExpectRefusals(const std::string& command, const std::vector<TRefusal>& refusals);

// Starts COMMAND on `region` over an existing `out` in a folder of the data
// files, interrupts it with SIGINT, SIGTERM and SIGHUP (a closed terminal),
// each in a run of its own, once it writes its temporary file, and checks
// that each time it ends by that signal leaving the old file as it was and no
// other file behind.
void ExpectAnInterruptLeavesTheOldFile(const std::string& command, const TRegion& region,
                                       const std::string& out);
