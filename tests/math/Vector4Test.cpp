#include "math/Vector4.h"

#include <gtest/gtest.h>

#include <cmath>

#include "tests/math/MatrixNear.h"

namespace {

TEST(Vector4Test, TextIsFourFieldsBetweenParentheses) {
  EXPECT_EQ(Vec3(1, 2, 3).ToString(), "(  1.00000  2.00000  3.00000  1.00000 )");
  EXPECT_EQ(TVector4().ToString(), "(  0.00000  0.00000  0.00000  0.00000 )");
  EXPECT_EQ(Vec4(-1, 0.5f, -0.0f, 0).ToString(), "( -1.00000  0.50000  -0.0000  0.00000 )");
}

TEST(Vector4Test, ArithmeticCarriesWAlong) {
  TVector4 v = Vec4(1, 2, 3, 7);
  v.Plus(Vec4(2, 1, 0, 100)).Mult(2).Minus(Vec4(0, 3, -3, 100)).Div(3);
  EXPECT_EQ(v.X, 2.0f);
  EXPECT_EQ(v.Y, 1.0f);
  EXPECT_EQ(v.Z, 3.0f);
  EXPECT_EQ(v.W, 7.0f);
}

TEST(Vector4Test, ValueOperatorsCarryTheLeftWAndLeaveTheOperandsAlone) {
  const TVector4 a = Vec4(1, 2, 3, 7);
  const TVector4 b = Vec4(2, 1, 0, 100);
  EXPECT_TRUE(VectorNear(a + b, Vec4(3, 3, 3, 7), 0.0f));
  EXPECT_TRUE(VectorNear(a - b, Vec4(-1, 1, 3, 7), 0.0f));
  EXPECT_TRUE(VectorNear(a * 2, Vec4(2, 4, 6, 7), 0.0f));
  EXPECT_TRUE(VectorNear(2 * a, Vec4(2, 4, 6, 7), 0.0f));
  EXPECT_TRUE(VectorNear(a / 2, Vec4(0.5f, 1, 1.5f, 7), 0.0f));
  EXPECT_TRUE(VectorNear(a, Vec4(1, 2, 3, 7), 0.0f));
  EXPECT_TRUE(VectorNear(b, Vec4(2, 1, 0, 100), 0.0f));
}

TEST(Vector4Test, DotAndLengthSqIgnoreW) {
  EXPECT_EQ(Vec4(1, 2, 3, 9).LengthSq(), 14.0f);
  EXPECT_EQ(Vec4(1, 2, 3, 9).Dot(Vec4(4, 5, 6, 9)), 32.0f);
}

TEST(Vector4Test, CrossUsesTheOldComponents) {
  TVector4 x = Vec4(1, 0, 0, 5);
  x.Cross(Vec3(0, 1, 0));
  EXPECT_EQ(x.X, 0.0f);
  EXPECT_EQ(x.Y, 0.0f);
  EXPECT_EQ(x.Z, 1.0f);
  EXPECT_EQ(x.W, 5.0f);

  // Every component of the result reads two old ones; (2,3,4) x (5,6,7) = (-3,6,-3).
  TVector4 v = Vec3(2, 3, 4);
  v.Cross(Vec3(5, 6, 7));
  EXPECT_EQ(v.X, -3.0f);
  EXPECT_EQ(v.Y, 6.0f);
  EXPECT_EQ(v.Z, -3.0f);

  // The argument may be the vector itself: v x v = 0.
  TVector4 self = Vec3(2, 3, 4);
  self.Cross(self);
  EXPECT_EQ(self.LengthSq(), 0.0f);
}

TEST(Vector4Test, InvertIsTheReciprocalAndZeroGivesInfinity) {
  TVector4 v = Vec4(2, -4, 0, 3);
  v.Invert();
  EXPECT_EQ(v.X, 0.5f);
  EXPECT_EQ(v.Y, -0.25f);
  EXPECT_TRUE(std::isinf(v.Z) && v.Z > 0);
  EXPECT_EQ(v.W, 3.0f);
}

TEST(Vector4Test, DivisionByZeroGivesInfinitiesAndNaN) {
  TVector4 v = Vec3(1, -1, 0);
  v.Div(0.0f);
  EXPECT_TRUE(std::isinf(v.X) && v.X > 0);
  EXPECT_TRUE(std::isinf(v.Y) && v.Y < 0);
  EXPECT_TRUE(std::isnan(v.Z));
  EXPECT_EQ(v.W, 1.0f);
}

}  // namespace
