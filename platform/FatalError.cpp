#include "platform/FatalError.h"

#include <cstdio>
#include <cstdlib>

[[noreturn]] void FatalError(std::string_view message) {
  std::fflush(stdout);
  std::fwrite(message.data(), 1, message.size(), stderr);
  std::fflush(stderr);
  std::_Exit(-1);
}
