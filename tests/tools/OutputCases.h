#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <ostream>
#include <string>
#include <tuple>
#include <vector>

// The table of what may stand at the path a voxeltool command writes to (a
// regular file, a device, a FIFO, a socket, symlinks, standard output) and of
// what may go wrong while it writes (a file-size limit, a full disk, a
// read-only folder), run against each command that writes a file. Each case
// checks the status, the message, what stands at the path afterwards and
// that no temporary file is left.

// A command as the cases run it.
struct TWriter {
  std::string Command;            // after voxeltool
  std::vector<std::string> Args;  // after the command, before --out
  // The file it writes; atlas writes two, and this is the first.
  std::string FileName;
  bool OutIsFolder = false;  // --out names the file's folder (atlas)
  // Whether `bytes` are a whole file of the kind the command writes.
  std::function<bool(const std::string& bytes)> IsWhole;
};

// Test names show the command.
inline void PrintTo(const TWriter& writer, std::ostream* out) {
  *out << writer.Command;
}

// A writer and the index of a case in the table.
using TOutputParam = std::tuple<TWriter, int>;

class OutputTest : public testing::TestWithParam<TOutputParam> {};

// Every case of the table for each of `writers`, for INSTANTIATE_TEST_SUITE_P
// with OutputTestName; each test program instantiates the commands it can run
// (shot needs the display of ShotTest's program).
testing::internal::ParamGenerator<TOutputParam> EveryOutputCase(
    const std::vector<TWriter>& writers);
std::string OutputTestName(const testing::TestParamInfo<TOutputParam>& info);

// Whether `bytes` are a whole PNG file (it decodes) or GLB file (its header
// states its length).
bool IsWholePng(const std::string& bytes);
bool IsWholeGlb(const std::string& bytes);
