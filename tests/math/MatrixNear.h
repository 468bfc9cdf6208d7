#pragma once

#include <gtest/gtest.h>

#include <cmath>

#include "math/Matrix4.h"
#include "math/Vector4.h"

// Element-wise comparisons that print both operands as the program's own text.

inline ::testing::AssertionResult MatrixNear(const TMatrix4& actual, const TMatrix4& expected,
                                             float tolerance) {
  for (int i = 0; i < 16; ++i) {
    if (!(std::fabs(actual.A[i] - expected.A[i]) <= tolerance)) {
      return ::testing::AssertionFailure() << "element " << i << " differs\nactual:\n"
                                           << actual.ToString() << "expected:\n"
                                           << expected.ToString();
    }
  }
  return ::testing::AssertionSuccess();
}

inline ::testing::AssertionResult VectorNear(const TVector4& actual, const TVector4& expected,
                                             float tolerance) {
  const float a[4] = {actual.X, actual.Y, actual.Z, actual.W};
  const float e[4] = {expected.X, expected.Y, expected.Z, expected.W};
  for (int i = 0; i < 4; ++i) {
    if (!(std::fabs(a[i] - e[i]) <= tolerance)) {
      return ::testing::AssertionFailure()
             << "component " << i << " differs: actual " << actual.ToString() << " expected "
             << expected.ToString();
    }
  }
  return ::testing::AssertionSuccess();
}
