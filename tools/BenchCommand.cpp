#include <cstdio>

#include "tools/Commands.h"

int RunBenchCommand(const std::vector<std::string>&) {
  std::fputs("voxeltool: not built yet\n", stderr);
  return 1;
}
