// main() for test programs that start the chunk workers. The workers never
// stop and use static state (noise tables, queues), so, like the viewer, the
// program ends without running static destructors under them.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  const int status = RUN_ALL_TESTS();
  std::fflush(stdout);
  std::fflush(stderr);
  std::_Exit(status);
}
