#pragma once

#include <string_view>

// Ends the program on an error that nothing handles: writes `message` to
// standard error exactly as given (no line break is added) and exits with
// status -1 (255) at once. Worker threads may be running, so no static
// destructors run and nothing is joined.
[[noreturn]] void FatalError(std::string_view message);
