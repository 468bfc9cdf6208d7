// main() for test programs that start the chunk workers. The workers never
// stop and use static state (noise tables, queues), so, like the viewer, the
// program ends without running static destructors under them.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>

#include "tests/support/SanitizerBuild.h"

#if VX_ADDRESS_SANITIZER
#include <sanitizer/lsan_interface.h>
#endif

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  const int status = RUN_ALL_TESTS();
  std::fflush(stdout);
  std::fflush(stderr);
#if VX_ADDRESS_SANITIZER
  // _Exit skips the leak check LeakSanitizer runs at exit; run it here, while
  // the workers and the registries still hold what they own. It ends the
  // process with a failure status if it finds a leak.
  __lsan_do_leak_check();
#endif
  std::_Exit(status);
}
