#pragma once

#include <string>

// Four floats: a position (W = 1), a direction (W = 0) or a colour whose X, Y, Z
// are red, green, blue in 0..255 units. Arithmetic touches X, Y, Z only and
// carries W along; W takes part in matrix products, Copy, Set and ToString.
class TVector4 {
 public:
  float X = 0.0f;
  float Y = 0.0f;
  float Z = 0.0f;
  float W = 0.0f;

  TVector4() = default;
  TVector4(float x, float y, float z, float w) : X(x), Y(y), Z(z), W(w) {}

  // The in-place operations return this vector, so calls can be chained.
  TVector4& Plus(const TVector4& v);
  TVector4& Minus(const TVector4& v);
  TVector4& Mult(float f);
  TVector4& Div(float f);
  TVector4& Cross(const TVector4& v);
  // Component-wise reciprocal of X, Y, Z (not negation).
  TVector4& Invert();

  float Dot(const TVector4& v) const;
  float LengthSq() const;
  TVector4 Copy() const { return *this; }
  // "( " + four 9-character fields + ")".
  std::string ToString() const;
  void Set(float x, float y, float z, float w);

  static TVector4 Vec3(float x, float y, float z) { return TVector4(x, y, z, 1.0f); }
  static TVector4 Vec4(float x, float y, float z, float w) { return TVector4(x, y, z, w); }
};

// Value forms of Plus, Minus, Mult and Div: a new vector, the operands left
// alone. Like the in-place forms they work on X, Y, Z and carry the left-hand
// (or only) vector's W along.
inline TVector4 operator+(TVector4 a, const TVector4& b) {
  return a.Plus(b);
}
inline TVector4 operator-(TVector4 a, const TVector4& b) {
  return a.Minus(b);
}
inline TVector4 operator*(TVector4 v, float f) {
  return v.Mult(f);
}
inline TVector4 operator*(float f, TVector4 v) {
  return v.Mult(f);
}
inline TVector4 operator/(TVector4 v, float f) {
  return v.Div(f);
}

inline TVector4 Vec3(float x, float y, float z) {
  return TVector4::Vec3(x, y, z);
}
inline TVector4 Vec4(float x, float y, float z, float w) {
  return TVector4::Vec4(x, y, z, w);
}
