#pragma once

#include <string>

// The fixed 9-character text of one float in vector and matrix dumps:
// "%#.9g" cut to 7 characters between two spaces for values >= 0, or to 8
// characters plus a space otherwise (negative numbers and NaN). The cut ignores
// the number's structure, so exponents and long integer parts are lost.
std::string FormatFloat(float value);
