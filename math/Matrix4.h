#pragma once

#include <cassert>
#include <string>

#include "math/Vector4.h"

// Conventions of the whole program:
// - storage is column-major: row r, column c (1-based) is A[(c - 1) * 4 + (r - 1)],
//   which is what glLoadMatrixf and glMultMatrixf take, so A goes to OpenGL as is;
// - vectors are columns: M maps v to M * v, and a translation sits in A14, A24, A34;
// - MatMult multiplies on the right: M.MatMult(N) makes M = M * N; the value
//   form m * n gives the same product as a new matrix, and m * v is VecMult's;
// - angles are degrees, converted to radians in double precision;
// - RotX and RotZ turn counter-clockwise about their axis, RotY the other way: a
//   positive angle carries +X toward +Z (A31 = +sin). Increasing the camera's yaw
//   therefore turns the view to the right.
// The setters (Identity .. Perspective) replace all 16 elements; they never
// multiply onto what was there.
class TMatrix4 {
 public:
  static constexpr int A11 = 0, A12 = 4, A13 = 8, A14 = 12;
  static constexpr int A21 = 1, A22 = 5, A23 = 9, A24 = 13;
  static constexpr int A31 = 2, A32 = 6, A33 = 10, A34 = 14;
  static constexpr int A41 = 3, A42 = 7, A43 = 11, A44 = 15;

  // 0 <= index < 16, column-major.
  float A[16];

  // A new matrix is the identity.
  TMatrix4() { Identity(); }

  TMatrix4 Copy() const { return *this; }
  TMatrix4& Transpose();
  TMatrix4& Identity();
  TMatrix4& Scale(float x, float y, float z);
  TMatrix4& Translate(float x, float y, float z);
  TMatrix4& RotX(float angle);
  TMatrix4& RotY(float angle);
  TMatrix4& RotZ(float angle);
  // RotZ(z) * RotX(x) * RotY(y); the angles are given in the order x, y, z.
  TMatrix4& RotZXY(float x, float y, float z);
  // RotY(y) * RotX(x) * RotZ(z); RotYXZ(-x, -y, -z) is the inverse of RotZXY(x, y, z).
  TMatrix4& RotYXZ(float x, float y, float z);
  // Eye looks along -Z; depth near..far maps to -1..1 after the division by w.
  TMatrix4& Perspective(float aov, float aspect, float nearPlane, float farPlane);
  // this = this * m; m may be this matrix itself.
  TMatrix4& MatMult(const TMatrix4& m);
  // v = this * v over all four components; returns v.
  TVector4& VecMult(TVector4& v) const;
  // Four lines, one per row, of four 9-character fields and a newline.
  std::string ToString() const;

  // 1 <= row, column <= 4.
  float& At(int row, int column) { return A[Index(row, column)]; }
  float At(int row, int column) const { return A[Index(row, column)]; }

 private:
  static int Index(int row, int column) {
    assert(row >= 1 && row <= 4 && column >= 1 && column <= 4);
    return (column - 1) * 4 + (row - 1);
  }
};

// Value forms of MatMult and VecMult: a new matrix or vector, the operands left
// alone, each element computed as the in-place form computes it.
inline TMatrix4 operator*(TMatrix4 m, const TMatrix4& n) {
  return m.MatMult(n);
}
inline TVector4 operator*(const TMatrix4& m, TVector4 v) {
  return m.VecMult(v);
}
