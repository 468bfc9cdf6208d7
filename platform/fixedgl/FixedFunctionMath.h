#pragma once

#include <array>

// The matrix arithmetic of the fixed-function layer, on column-major 4 x 4
// matrices as glLoadMatrixf takes them (element (row r, column c), 0-based, at
// [c * 4 + r]; vectors are columns).
namespace FixedFunctionMath {

using TMatrix = std::array<float, 16>;
using TMatrix3 = std::array<float, 9>;  // column-major 3 x 3

// a * b: what glMultMatrixf(b) makes of a current matrix a.
TMatrix Multiply(const TMatrix& a, const TMatrix& b);
// m * (x, y, z, w).
std::array<float, 4> Transform(const TMatrix& m, const std::array<float, 4>& v);
// The upper-left 3 x 3 of m times (x, y, z): how OpenGL carries a spot direction.
std::array<float, 3> TransformDirection(const TMatrix& m, const std::array<float, 3>& v);
// The transpose of the upper-left 3 x 3 of m's inverse, which carries normals
// to eye coordinates; the zero matrix when m is singular.
TMatrix3 NormalMatrix(const TMatrix& m);

}  // namespace FixedFunctionMath
