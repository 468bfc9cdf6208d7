// Linked into every test program that needs X: before its first test, the
// program gets a virtual X server of its own (see XServer.h). Each test case
// runs in a process of its own, so each gets a fresh server.
#include <gtest/gtest.h>

#include <memory>

#include "tests/support/XServer.h"

namespace {

class TXServerEnvironment : public ::testing::Environment {
 public:
  void SetUp() override { TXServer::StartForThisProcess(); }
};

// GoogleTest owns registered environments.
[[maybe_unused]] ::testing::Environment* const kXServer =
    ::testing::AddGlobalTestEnvironment(std::make_unique<TXServerEnvironment>().release());

}  // namespace
