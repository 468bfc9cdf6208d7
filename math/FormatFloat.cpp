#include "math/FormatFloat.h"

#include <cstdio>

std::string FormatFloat(float value) {
  char text[64];
  std::snprintf(text, sizeof text, "%#.9g", static_cast<double>(value));
  const std::string full(text);
  // -0.0 compares >= 0 and so takes the non-negative branch, keeping its sign.
  if (value >= 0.0f) {
    std::string cut = full.substr(0, 7);
    cut.resize(7, ' ');
    return " " + cut + " ";
  }
  std::string cut = full.substr(0, 8);
  cut.resize(8, ' ');
  return cut + " ";
}
