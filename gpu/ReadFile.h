#pragma once

#include <optional>
#include <string>

// The whole content of the file at `path`, or nullopt if it cannot be opened or
// read to the end (a missing file, a directory, a read error). Never throws for
// I/O reasons.
std::optional<std::string> ReadWholeFile(const std::string& path);
