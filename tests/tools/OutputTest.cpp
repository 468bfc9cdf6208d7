// The output cases (OutputCases.h) for the commands that need no display;
// ShotTest.cpp runs them for shot.
#include "tests/tools/OutputCases.h"

namespace {

INSTANTIATE_TEST_SUITE_P(
    Commands, OutputTest,
    EveryOutputCase({
        // A few kilobytes of PNG, past the file-size limit of the cases.
        {"map", {"--from", "0", "0", "--to", "1", "1"}, "out.png", false, IsWholePng},
        {"export", {"--from", "0", "0", "--to", "0", "0"}, "out.glb", false, IsWholeGlb},
        {"atlas", {}, "Texture.png", true, IsWholePng},
    }),
    OutputTestName);

}  // namespace
