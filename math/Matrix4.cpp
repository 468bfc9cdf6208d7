#include "math/Matrix4.h"

#include <cmath>
#include <numbers>

#include "math/FormatFloat.h"

namespace {

constexpr double kRadiansPerDegree = std::numbers::pi / 180.0;

float SinDeg(float degrees) {
  return static_cast<float>(std::sin(static_cast<double>(degrees) * kRadiansPerDegree));
}
float CosDeg(float degrees) {
  return static_cast<float>(std::cos(static_cast<double>(degrees) * kRadiansPerDegree));
}
float TanDeg(float degrees) {
  return static_cast<float>(std::tan(static_cast<double>(degrees) * kRadiansPerDegree));
}

}  // namespace

TMatrix4& TMatrix4::Transpose() {
  for (int r = 1; r <= 4; ++r) {
    for (int c = r + 1; c <= 4; ++c) {
      const float t = At(r, c);
      At(r, c) = At(c, r);
      At(c, r) = t;
    }
  }
  return *this;
}

TMatrix4& TMatrix4::Identity() {
  for (int i = 0; i < 16; ++i) A[i] = 0.0f;
  A[A11] = A[A22] = A[A33] = A[A44] = 1.0f;
  return *this;
}

TMatrix4& TMatrix4::Scale(float x, float y, float z) {
  Identity();
  A[A11] = x;
  A[A22] = y;
  A[A33] = z;
  return *this;
}

TMatrix4& TMatrix4::Translate(float x, float y, float z) {
  Identity();
  A[A14] = x;
  A[A24] = y;
  A[A34] = z;
  return *this;
}

TMatrix4& TMatrix4::RotX(float angle) {
  const float c = CosDeg(angle), s = SinDeg(angle);
  Identity();
  A[A22] = c;
  A[A23] = -s;
  A[A32] = s;
  A[A33] = c;
  return *this;
}

TMatrix4& TMatrix4::RotY(float angle) {
  const float c = CosDeg(angle), s = SinDeg(angle);
  Identity();
  A[A11] = c;
  A[A13] = -s;
  A[A31] = s;
  A[A33] = c;
  return *this;
}

TMatrix4& TMatrix4::RotZ(float angle) {
  const float c = CosDeg(angle), s = SinDeg(angle);
  Identity();
  A[A11] = c;
  A[A12] = -s;
  A[A21] = s;
  A[A22] = c;
  return *this;
}

TMatrix4& TMatrix4::RotZXY(float x, float y, float z) {
  TMatrix4 factor;
  RotZ(z);
  MatMult(factor.RotX(x));
  MatMult(factor.RotY(y));
  return *this;
}

TMatrix4& TMatrix4::RotYXZ(float x, float y, float z) {
  TMatrix4 factor;
  RotY(y);
  MatMult(factor.RotX(x));
  MatMult(factor.RotZ(z));
  return *this;
}

TMatrix4& TMatrix4::Perspective(float aov, float aspect, float nearPlane, float farPlane) {
  const float f = 1.0f / TanDeg(0.5f * aov);
  for (int i = 0; i < 16; ++i) A[i] = 0.0f;
  A[A11] = f / aspect;
  A[A22] = f;
  A[A33] = (nearPlane + farPlane) / (nearPlane - farPlane);
  A[A34] = 2.0f * farPlane * nearPlane / (nearPlane - farPlane);
  A[A43] = -1.0f;
  A[A44] = 0.0f;
  return *this;
}

TMatrix4& TMatrix4::MatMult(const TMatrix4& m) {
  // Computed into a separate block first, so m may alias this matrix.
  float product[16];
  for (int r = 1; r <= 4; ++r) {
    for (int c = 1; c <= 4; ++c) {
      float sum = 0.0f;
      for (int k = 1; k <= 4; ++k) sum += At(r, k) * m.At(k, c);
      product[(c - 1) * 4 + (r - 1)] = sum;
    }
  }
  for (int i = 0; i < 16; ++i) A[i] = product[i];
  return *this;
}

TVector4& TMatrix4::VecMult(TVector4& v) const {
  const float in[4] = {v.X, v.Y, v.Z, v.W};
  float out[4];
  for (int r = 1; r <= 4; ++r) {
    float sum = 0.0f;
    for (int k = 1; k <= 4; ++k) sum += At(r, k) * in[k - 1];
    out[r - 1] = sum;
  }
  v.Set(out[0], out[1], out[2], out[3]);
  return v;
}

std::string TMatrix4::ToString() const {
  std::string text;
  for (int r = 1; r <= 4; ++r) {
    for (int c = 1; c <= 4; ++c) text += FormatFloat(At(r, c));
    text += '\n';
  }
  return text;
}
