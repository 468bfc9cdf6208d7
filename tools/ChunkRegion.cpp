#include "tools/ChunkRegion.h"

#include <CLI/CLI.hpp>

#include <charconv>

CLI::Validator TChunkRegion::Coordinate() {
  return CLI::Validator(
      [](const std::string& text) -> std::string {
        int value = 0;
        const char* end = text.data() + text.size();
        const auto [ptr, error] = std::from_chars(text.data(), end, value);
        if (error == std::errc() && ptr == end && value >= -MAX_COORDINATE &&
            value <= MAX_COORDINATE)
          return {};
        return "'" + text + "' is not a chunk coordinate (an integer from " +
               std::to_string(-MAX_COORDINATE) + " to " + std::to_string(MAX_COORDINATE) + ")";
      },
      "CHUNK");
}

void TChunkRegion::AddOptions(CLI::App& command) {
  const auto corner = [&](const char* name, int& x, int& z, const char* names, const char* help) {
    command
        .add_option_function<std::vector<int>>(
            name, [&x, &z](const std::vector<int>& v) { x = v[0], z = v[1]; }, help)
        ->expected(2)
        ->type_name(names)
        ->required()
        ->check(Coordinate());
  };
  corner("--from", X0, Z0, "X0 Z0", "first corner: chunk X0 and chunk Z0");
  corner("--to", X1, Z1, "X1 Z1", "last corner, included: chunk X1 >= X0 and chunk Z1 >= Z0");
}

void TChunkRegion::CheckOrder() const {
  if (X1 < X0 || Z1 < Z0)
    throw CLI::ValidationError("--to", "the region runs from --from " + std::to_string(X0) + " " +
                                           std::to_string(Z0) + " to --to " + std::to_string(X1) +
                                           " " + std::to_string(Z1) +
                                           ": each of X1, Z1 must be at least X0, Z0");
}
