#include "math/Vector4.h"

#include "math/FormatFloat.h"

TVector4& TVector4::Plus(const TVector4& v) {
  X += v.X;
  Y += v.Y;
  Z += v.Z;
  return *this;
}

TVector4& TVector4::Minus(const TVector4& v) {
  X -= v.X;
  Y -= v.Y;
  Z -= v.Z;
  return *this;
}

TVector4& TVector4::Mult(float f) {
  X *= f;
  Y *= f;
  Z *= f;
  return *this;
}

TVector4& TVector4::Div(float f) {
  X /= f;
  Y /= f;
  Z /= f;
  return *this;
}

TVector4& TVector4::Cross(const TVector4& v) {
  const float x = Y * v.Z - Z * v.Y;
  const float y = Z * v.X - X * v.Z;
  const float z = X * v.Y - Y * v.X;
  X = x;
  Y = y;
  Z = z;
  return *this;
}

TVector4& TVector4::Invert() {
  X = 1.0f / X;
  Y = 1.0f / Y;
  Z = 1.0f / Z;
  return *this;
}

float TVector4::Dot(const TVector4& v) const {
  return X * v.X + Y * v.Y + Z * v.Z;
}

float TVector4::LengthSq() const {
  return X * X + Y * Y + Z * Z;
}

std::string TVector4::ToString() const {
  return "( " + FormatFloat(X) + FormatFloat(Y) + FormatFloat(Z) + FormatFloat(W) + ")";
}

void TVector4::Set(float x, float y, float z, float w) {
  X = x;
  Y = y;
  Z = z;
  W = w;
}
