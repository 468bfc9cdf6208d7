#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <stdexcept>
#include <thread>
#include <utility>
#include <vector>

#include "tools/ChunkFarm.h"

namespace {

using TPosition = std::pair<int, int>;

TEST(ChunkFarmTest, HandsOverEveryChunkOnceInRegionOrder) {
  const TChunkRegion region{-2, 3, 1, 5};
  std::atomic<int> built = 0;
  TChunkFarm<TPosition> farm(region, 3, 2, [&](int x, int z) {
    ++built;
    return TPosition{x, z};
  });
  std::vector<TPosition> taken;
  while (auto position = farm.Next()) taken.push_back(*position);

  std::vector<TPosition> expected;
  for (int z = 3; z <= 5; ++z) {
    for (int x = -2; x <= 1; ++x) expected.emplace_back(x, z);
  }
  EXPECT_EQ(taken, expected);
  EXPECT_EQ(built, 12);
  EXPECT_FALSE(farm.Next());
}

TEST(ChunkFarmTest, WorkersWaitForTheCallerBeyondTheWindow) {
  std::atomic<int> started = 0;
  TChunkFarm<int> farm(TChunkRegion{0, 0, 99, 0}, 4, 3, [&](int x, int) {
    ++started;
    return x;
  });
  // Nothing taken yet: only the window's chunks may be built, however long
  // the caller takes.
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  EXPECT_EQ(started, 3);
  EXPECT_EQ(farm.Next(), 0);
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  EXPECT_EQ(started, 4);
}

TEST(ChunkFarmTest, AFailedBuildReachesTheCaller) {
  TChunkFarm<int> farm(TChunkRegion{0, 0, 9, 9}, 2, 4, [](int x, int z) {
    if (x == 3 && z == 0) throw std::runtime_error("chunk 3 0 failed");
    return x;
  });
  try {
    while (farm.Next()) {
    }
    FAIL() << "the failure was not reported";
  } catch (const std::runtime_error& error) {
    EXPECT_STREQ(error.what(), "chunk 3 0 failed");
  }
}

TEST(ChunkFarmTest, ALeftFarmStopsItsWorkers) {
  std::atomic<int> started = 0;
  {
    TChunkFarm<int> farm(TChunkRegion{0, 0, 999, 999}, 2, 8, [&](int x, int) {
      ++started;
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
      return x;
    });
    farm.Next();
  }
  // The destructor returned, so the workers are joined; they never ran ahead.
  EXPECT_LE(started, 1 + 8);
}

}  // namespace
