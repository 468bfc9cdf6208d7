#include "platform/fixedgl/FixedFunctionMath.h"

#include <cmath>

namespace FixedFunctionMath {

TMatrix Multiply(const TMatrix& a, const TMatrix& b) {
  TMatrix product{};
  for (int column = 0; column < 4; ++column) {
    for (int row = 0; row < 4; ++row) {
      float sum = 0;
      for (int k = 0; k < 4; ++k) sum += a[k * 4 + row] * b[column * 4 + k];
      product[column * 4 + row] = sum;
    }
  }
  return product;
}

std::array<float, 4> Transform(const TMatrix& m, const std::array<float, 4>& v) {
  std::array<float, 4> result{};
  for (int row = 0; row < 4; ++row) {
    result[row] = m[row] * v[0] + m[4 + row] * v[1] + m[8 + row] * v[2] + m[12 + row] * v[3];
  }
  return result;
}

std::array<float, 3> TransformDirection(const TMatrix& m, const std::array<float, 3>& v) {
  std::array<float, 3> result{};
  for (int row = 0; row < 3; ++row) {
    result[row] = m[row] * v[0] + m[4 + row] * v[1] + m[8 + row] * v[2];
  }
  return result;
}

TMatrix3 NormalMatrix(const TMatrix& m) {
  // Cofactors of the whole 4 x 4, so a projective model-view matrix gives what
  // OpenGL's inverse gives; the inverse's upper 3 x 3 needs only nine of them.
  auto at = [&m](int row, int column) { return m[column * 4 + row]; };
  auto minor3 = [&at](int skipRow, int skipColumn) {
    int rows[3], columns[3];
    for (int i = 0, r = 0; i < 4; ++i) {
      if (i != skipRow) rows[r++] = i;
    }
    for (int i = 0, c = 0; i < 4; ++i) {
      if (i != skipColumn) columns[c++] = i;
    }
    auto e = [&](int r, int c) { return at(rows[r], columns[c]); };
    return e(0, 0) * (e(1, 1) * e(2, 2) - e(1, 2) * e(2, 1)) -
           e(0, 1) * (e(1, 0) * e(2, 2) - e(1, 2) * e(2, 0)) +
           e(0, 2) * (e(1, 0) * e(2, 1) - e(1, 1) * e(2, 0));
  };
  auto cofactor = [&minor3](int row, int column) {
    return ((row + column) % 2 == 0 ? 1.0f : -1.0f) * minor3(row, column);
  };
  float determinant = 0;
  for (int column = 0; column < 4; ++column) determinant += at(0, column) * cofactor(0, column);
  TMatrix3 normal{};
  if (determinant == 0 || !std::isfinite(determinant)) return normal;
  // inverse(r, c) = cofactor(c, r) / det, and the normal matrix is its
  // transpose: element (r, c) is cofactor(r, c) / det.
  for (int column = 0; column < 3; ++column) {
    for (int row = 0; row < 3; ++row)
      normal[column * 3 + row] = cofactor(row, column) / determinant;
  }
  return normal;
}

}  // namespace FixedFunctionMath
