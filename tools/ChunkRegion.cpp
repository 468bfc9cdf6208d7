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
  command.add_option_function<std::vector<int>>(
             "--from", [this](const std::vector<int>& v) { X0 = v[0], Z0 = v[1]; },
             "first corner: chunk X0 and chunk Z0")
      ->expected(2)
      ->type_name("X0 Z0")
      ->required()
      ->check(Coordinate());
  command.add_option_function<std::vector<int>>(
             "--to", [this](const std::vector<int>& v) { X1 = v[0], Z1 = v[1]; },
             "last corner, included: chunk X1 >= X0 and chunk Z1 >= Z0")
      ->expected(2)
      ->type_name("X1 Z1")
      ->required()
      ->check(Coordinate());
}

void TChunkRegion::CheckOrder() const {
  if (X1 < X0 || Z1 < Z0)
    throw CLI::ValidationError("--to", "the region runs from --from " + std::to_string(X0) + " " +
                                           std::to_string(Z0) + " to --to " + std::to_string(X1) +
                                           " " + std::to_string(Z1) +
                                           ": each of X1, Z1 must be at least X0, Z0");
}
