#include <gtest/gtest.h>

#include <cinttypes>
#include <cstdio>
#include <regex>
#include <string>
#include <vector>

#include "tests/support/Process.h"
#include "tests/world/WorldFixtures.h"

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

std::string Fnv1a(const void* data, std::size_t size) {
  std::uint64_t hash = 0xcbf29ce484222325ull;
  for (std::size_t n = 0; n < size; ++n) {
    hash = (hash ^ static_cast<const std::uint8_t*>(data)[n]) * 0x100000001b3ull;
  }
  char text[17];
  std::snprintf(text, sizeof text, "%016" PRIx64, hash);
  return text;
}

TEST(DigestCommandTest, PrintsOneStableLinePerChunk) {
  const TProcessResult first = Digest({"0", "0", "4", "-5"});
  ASSERT_EQ(first.ExitCode, 0) << first.Stderr;
  EXPECT_EQ(first.Stderr, "");
  const std::vector<std::string> lines = Lines(first.Stdout);
  ASSERT_EQ(lines.size(), 2u) << first.Stdout;
  const std::regex format(
      "(-?[0-9]+) (-?[0-9]+) voxel=[0-9a-f]{16} height=[0-9a-f]{16} "
      "light=[0-9a-f]{16} faces=[0-9]+");
  std::smatch match;
  ASSERT_TRUE(std::regex_match(lines[0], match, format)) << lines[0];
  EXPECT_EQ(match[1], "0");
  EXPECT_EQ(match[2], "0");
  ASSERT_TRUE(std::regex_match(lines[1], match, format)) << lines[1];
  EXPECT_EQ(match[1], "4");
  EXPECT_EQ(match[2], "-5");
  // Different terrain, different hashes.
  EXPECT_NE(lines[0].substr(lines[0].find("voxel=")), lines[1].substr(lines[1].find("voxel=")));

  const TProcessResult second = Digest({"0", "0", "4", "-5"});
  EXPECT_EQ(second.ExitCode, 0);
  EXPECT_EQ(second.Stdout, first.Stdout);
}

TEST(DigestCommandTest, HashesWhatAWorkerBuilds) {
  EnsureNoiseTables();
  auto chunk = MakeEmptyChunk();
  chunk->ChunkX = -1;
  chunk->ChunkZ = 2;
  chunk->GenerateData();
  chunk->BuildVertexData();
  const std::string expected = "-1 2 voxel=" + Fnv1a(chunk->VoxelData, sizeof chunk->VoxelData) +
                               " height=" + Fnv1a(chunk->Height, sizeof chunk->Height) +
                               " light=" + Fnv1a(chunk->Light, sizeof chunk->Light) +
                               " faces=" + std::to_string(chunk->VertexCount / 4) + "\n";

  const TProcessResult result = Digest({"-1", "2"});
  ASSERT_EQ(result.ExitCode, 0) << result.Stderr;
  EXPECT_EQ(result.Stdout, expected);
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
    EXPECT_EQ(result.Stderr.rfind("usage: voxeltool digest X Z [X Z ...]\n", 0), 0u)
        << shown << result.Stderr;
  }
}

}  // namespace
