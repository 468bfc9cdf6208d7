#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "tests/support/Process.h"
#include "tests/support/SanitizerBuild.h"
#include "tests/world/WorldFixtures.h"
#include "world/ChunkDigest.h"

namespace {

TProcessResult Digest(const std::vector<std::string>& args) {
  std::vector<std::string> argv = {VX_VOXELTOOL, "digest"};
  argv.insert(argv.end(), args.begin(), args.end());
  TProcessOptions options;
  options.TimeoutSeconds = 120.0;
  return RunProcess(argv, options);
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  for (std::size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1) {
    lines.push_back(text.substr(start, end - start));
  }
  EXPECT_EQ(start, text.size()) << "unterminated last line";
  return lines;
}

// A digest line taken apart; it is valid only if printing the parts back in
// the line's format gives the line itself, which rejects extra signs, spaces,
// upper-case or short hashes.
struct TDigestLine {
  int X = 0, Z = 0, Faces = 0;
  bool Valid = false;
};

TDigestLine ParseDigestLine(const std::string& line) {
  TDigestLine parsed;
  char voxel[17], height[17], light[17];
  if (std::sscanf(line.c_str(),
                  "%d %d voxel=%16[0-9a-f] height=%16[0-9a-f] light=%16[0-9a-f] faces=%d",
                  &parsed.X, &parsed.Z, voxel, height, light, &parsed.Faces) != 6) {
    return parsed;
  }
  char again[160];
  std::snprintf(again, sizeof again, "%d %d voxel=%s height=%s light=%s faces=%d", parsed.X,
                parsed.Z, voxel, height, light, parsed.Faces);
  parsed.Valid = line == again && std::string(voxel).size() == 16 &&
                 std::string(height).size() == 16 && std::string(light).size() == 16;
  return parsed;
}

// A chunk built in this process as a worker builds it.
std::shared_ptr<TChunk> BuiltChunk(int x, int z) {
  EnsureNoiseTables();
  auto chunk = TChunk::NewUnregistered(x, z);
  chunk->GenerateData();
  chunk->BuildVertexData();
  return chunk;
}

TEST(DigestCommandTest, PrintsOneStableLinePerChunk) {
  const TProcessResult first = Digest({"0", "0", "4", "-5"});
  ASSERT_EQ(first.ExitCode, 0) << first.Stderr;
  EXPECT_EQ(first.Stderr, "");
  const std::vector<std::string> lines = Lines(first.Stdout);
  ASSERT_EQ(lines.size(), 2u) << first.Stdout;
  const TDigestLine line0 = ParseDigestLine(lines[0]);
  ASSERT_TRUE(line0.Valid) << lines[0];
  EXPECT_EQ(line0.X, 0);
  EXPECT_EQ(line0.Z, 0);
  EXPECT_EQ(line0.Faces, BuiltChunk(0, 0)->VertexCount / 4);
  const TDigestLine line1 = ParseDigestLine(lines[1]);
  ASSERT_TRUE(line1.Valid) << lines[1];
  EXPECT_EQ(line1.X, 4);
  EXPECT_EQ(line1.Z, -5);
  EXPECT_EQ(line1.Faces, BuiltChunk(4, -5)->VertexCount / 4);
  // Different terrain, different hashes.
  EXPECT_NE(lines[0].substr(lines[0].find("voxel=")), lines[1].substr(lines[1].find("voxel=")));

  const TProcessResult second = Digest({"0", "0", "4", "-5"});
  EXPECT_EQ(second.ExitCode, 0);
  EXPECT_EQ(second.Stdout, first.Stdout);
}

TEST(DigestCommandTest, HashesWhatAWorkerBuilds) {
  const std::string expected = "-1 2 " + ChunkDigest(*BuiltChunk(-1, 2)) + "\n";

  const TProcessResult result = Digest({"-1", "2"});
  ASSERT_EQ(result.ExitCode, 0) << result.Stderr;
  EXPECT_EQ(result.Stdout, expected);
}

// The world of six chunks, as it has been generated since the terrain was
// first built; any change to generation or meshing that alters a single cell,
// height, light value or face count shows here.
TEST(DigestCommandTest, WorldStaysTheSame) {
  const TProcessResult result =
      Digest({"0", "0", "4", "-5", "-5", "4", "1", "0", "-1", "-1", "37", "2"});
  ASSERT_EQ(result.ExitCode, 0) << result.Stderr;
  EXPECT_EQ(
      result.Stdout,
      "0 0 voxel=a1731211b8674a47 height=6107b46ed6daf4b6 light=b05effae9f8b18c3 faces=2555\n"
      "4 -5 voxel=63581a09c894bfd3 height=a39e44b24121159f light=af96f45b2daa4a4e faces=3015\n"
      "-5 4 voxel=3d6ebd638cd5d1ce height=57bab547bf7bb1f5 light=8e5e72e0ce98c504 faces=8996\n"
      "1 0 voxel=98daf509dbc2ec1f height=ad5e0afa0caeb413 light=076df79f1298c730 faces=3933\n"
      "-1 -1 voxel=bca66ce6118aa77d height=63fe122f8b49c6cf light=6978f6489ea09790 faces=3922\n"
      "37 2 voxel=f558f8652ac19118 height=be534e523c88b6c6 light=3afbea657f173434 faces=2671\n");
}

TEST(DigestCommandTest, MemoryDoesNotGrowWithTheNumberOfChunks) {
  // Each chunk holds about 1 MB while it is built (arrays and vertex data); a
  // tool that kept them would pass 150 MB here.
  std::vector<std::string> args;
  for (int n = 0; n < 150; ++n) {
    args.push_back(std::to_string(n % 15));
    args.push_back(std::to_string(n / 15));
  }
  const TProcessResult result = Digest(args);
  ASSERT_EQ(result.ExitCode, 0) << result.Stderr;
  EXPECT_EQ(Lines(result.Stdout).size(), 150u);
  // A sanitizer's quarantine and shadow memory are not the program's own.
  if (!kSanitizerBuild) {
    EXPECT_LT(result.MaxResidentKb, 60 * 1024);
  }
}

TEST(DigestCommandTest, RejectsBadArguments) {
  const std::vector<std::vector<std::string>> cases = {
      {},        {"1"},       {"1", "2", "3"},      {"1", "x"},  {"1.5", "2"},
      {"", "0"}, {"3 ", "0"}, {"0", "99999999999"}, {"--", "0"},
  };
  for (const auto& args : cases) {
    const TProcessResult result = Digest(args);
    std::string shown;
    for (const std::string& arg : args) shown += "'" + arg + "' ";
    EXPECT_EQ(result.ExitCode, 2) << shown;
    EXPECT_EQ(result.Stdout, "") << shown;
    // One line that names the command.
    EXPECT_EQ(result.Stderr.rfind("voxeltool digest: ", 0), 0u) << shown << result.Stderr;
    EXPECT_EQ(std::count(result.Stderr.begin(), result.Stderr.end(), '\n'), 1) << result.Stderr;
  }
}

}  // namespace
