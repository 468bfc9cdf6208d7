#pragma once

#include <string>

namespace CLI {
class App;
class Validator;
}  // namespace CLI

// A rectangle of the chunk grid, corners included: chunks (x, z) with
// X0 <= x <= X1 and Z0 <= z <= Z1.
struct TChunkRegion {
  // Chunk coordinates the tools accept: (X + 1024) * 32 stays far from int
  // overflow, and the terrain generator's coordinates stay exact.
  static constexpr int MAX_COORDINATE = 1000000;

  int X0 = 0;
  int Z0 = 0;
  int X1 = 0;
  int Z1 = 0;

  long long Width() const { return static_cast<long long>(X1) - X0 + 1; }  // chunks along x
  long long Depth() const { return static_cast<long long>(Z1) - Z0 + 1; }  // chunks along z
  long long Count() const { return Width() * Depth(); }

  // An integer chunk coordinate from -MAX_COORDINATE to MAX_COORDINATE.
  static CLI::Validator Coordinate();
  // Adds the required options "--from X0 Z0" and "--to X1 Z1" to `command`.
  void AddOptions(CLI::App& command);
  // Throws CLI::ValidationError unless the corners are in order.
  void CheckOrder() const;
};
