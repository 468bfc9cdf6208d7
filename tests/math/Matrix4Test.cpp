#include "math/Matrix4.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <string>

#include "tests/math/MatrixNear.h"

namespace {

constexpr float kTolerance = 1e-6f;

// A matrix with no symmetry: A[i] = i + 1, so row r, column c holds 4 (c - 1) + r.
TMatrix4 Counting() {
  TMatrix4 m;
  for (int i = 0; i < 16; ++i) m.A[i] = static_cast<float>(i + 1);
  return m;
}

TEST(Matrix4Test, NewMatrixIsTheIdentity) {
  EXPECT_TRUE(MatrixNear(TMatrix4(), Counting().Identity(), 0.0f));
}

TEST(Matrix4Test, TextListsRowsWithTranslationInTheLastColumn) {
  EXPECT_EQ(TMatrix4().ToString(),
            " 1.00000  0.00000  0.00000  0.00000 \n"
            " 0.00000  1.00000  0.00000  0.00000 \n"
            " 0.00000  0.00000  1.00000  0.00000 \n"
            " 0.00000  0.00000  0.00000  1.00000 \n");
  EXPECT_EQ(TMatrix4().Translate(1, -2, 3).ToString(),
            " 1.00000  0.00000  0.00000  1.00000 \n"
            " 0.00000  1.00000  0.00000 -2.00000 \n"
            " 0.00000  0.00000  1.00000  3.00000 \n"
            " 0.00000  0.00000  0.00000  1.00000 \n");
}

TEST(Matrix4Test, StorageIsColumnMajorAsOpenGlTakesIt) {
  const TMatrix4 m = TMatrix4().Translate(5, 6, 7);
  EXPECT_EQ(m.A[12], 5.0f);
  EXPECT_EQ(m.A[13], 6.0f);
  EXPECT_EQ(m.A[14], 7.0f);
  EXPECT_EQ(m.A[3], 0.0f);
  EXPECT_EQ(m.A[7], 0.0f);
  EXPECT_EQ(m.A[11], 0.0f);
}

TEST(Matrix4Test, SettersReplaceAllSixteenElements) {
  struct TSetter {
    const char* Name;
    std::function<void(TMatrix4&)> Apply;
  };
  const TSetter setters[] = {
      {"Identity", [](TMatrix4& m) { m.Identity(); }},
      {"Scale", [](TMatrix4& m) { m.Scale(2, 3, 4); }},
      {"Translate", [](TMatrix4& m) { m.Translate(1, 2, 3); }},
      {"RotX", [](TMatrix4& m) { m.RotX(30); }},
      {"RotY", [](TMatrix4& m) { m.RotY(30); }},
      {"RotZ", [](TMatrix4& m) { m.RotZ(30); }},
      {"RotZXY", [](TMatrix4& m) { m.RotZXY(10, 20, 30); }},
      {"RotYXZ", [](TMatrix4& m) { m.RotYXZ(10, 20, 30); }},
      {"Perspective", [](TMatrix4& m) { m.Perspective(60, 1.5f, 1, 100); }},
  };
  for (const TSetter& setter : setters) {
    SCOPED_TRACE(setter.Name);
    TMatrix4 fresh;
    setter.Apply(fresh);
    TMatrix4 dirty = Counting();
    setter.Apply(dirty);
    EXPECT_TRUE(MatrixNear(dirty, fresh, 0.0f));
  }
  // Translate after Scale leaves only the translation.
  TMatrix4 m;
  m.Scale(2, 3, 4).Translate(1, 2, 3);
  EXPECT_TRUE(MatrixNear(m, TMatrix4().Translate(1, 2, 3), 0.0f));
}

TEST(Matrix4Test, PerspectiveValues) {
  struct TCase {
    float Aov, Aspect, Near, Far;
    float A11, A22, A33, A34;
  };
  const float root3 = std::sqrt(3.0f);
  const TCase cases[] = {
      {60, 1024.0f / 768.0f, 1, 500, root3 * 0.75f, root3, -501.0f / 499.0f, -1000.0f / 499.0f},
      {90, 1, 0.5f, 10, 1, 1, -10.5f / 9.5f, -10.0f / 9.5f},
      {120, 2, 2, 4, 1 / (2 * root3), 1 / root3, -3, -8},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Aov);
    TMatrix4 m;
    m.Perspective(c.Aov, c.Aspect, c.Near, c.Far);
    TMatrix4 expected;
    for (float& a : expected.A) a = 0.0f;
    expected.A[TMatrix4::A11] = c.A11;
    expected.A[TMatrix4::A22] = c.A22;
    expected.A[TMatrix4::A33] = c.A33;
    expected.A[TMatrix4::A34] = c.A34;
    expected.A[TMatrix4::A43] = -1.0f;
    EXPECT_TRUE(MatrixNear(m, expected, 1e-5f));

    // The eye looks along -Z: the near plane lands at depth -1, the far plane at +1.
    TVector4 nearPoint = Vec3(0, 0, -c.Near);
    TVector4 farPoint = Vec3(0, 0, -c.Far);
    m.VecMult(nearPoint);
    m.VecMult(farPoint);
    EXPECT_NEAR(nearPoint.Z / nearPoint.W, -1.0f, 1e-5f);
    EXPECT_NEAR(farPoint.Z / farPoint.W, 1.0f, 1e-5f);
  }
}

TEST(Matrix4Test, RotationsTurnTheAxes) {
  struct TCase {
    std::string Name;
    TMatrix4 M;
    TVector4 In, Out;
  };
  const TCase cases[] = {
      // RotY turns the other way round: +X goes toward +Z.
      {"RotY(90) x", TMatrix4().RotY(90), Vec3(1, 0, 0), Vec3(0, 0, 1)},
      {"RotY(90) z", TMatrix4().RotY(90), Vec3(0, 0, 1), Vec3(-1, 0, 0)},
      {"RotX(90) y", TMatrix4().RotX(90), Vec3(0, 1, 0), Vec3(0, 0, 1)},
      {"RotX(90) z", TMatrix4().RotX(90), Vec3(0, 0, 1), Vec3(0, -1, 0)},
      {"RotZ(90) x", TMatrix4().RotZ(90), Vec3(1, 0, 0), Vec3(0, 1, 0)},
      {"RotZ(90) y", TMatrix4().RotZ(90), Vec3(0, 1, 0), Vec3(-1, 0, 0)},
      {"RotZ(-90) x", TMatrix4().RotZ(-90), Vec3(1, 0, 0), Vec3(0, -1, 0)},
      // Composite: RotZXY applies RotY first, RotYXZ applies RotZ first.
      {"RotZXY(90,90,0) x", TMatrix4().RotZXY(90, 90, 0), Vec4(1, 0, 0, 0), Vec4(0, -1, 0, 0)},
      {"RotYXZ(90,90,0) x", TMatrix4().RotYXZ(90, 90, 0), Vec4(1, 0, 0, 0), Vec4(0, 0, 1, 0)},
      {"RotZXY(0,90,90) x", TMatrix4().RotZXY(0, 90, 90), Vec4(1, 0, 0, 0), Vec4(0, 0, 1, 0)},
      {"RotYXZ(0,90,90) x", TMatrix4().RotYXZ(0, 90, 90), Vec4(1, 0, 0, 0), Vec4(0, 1, 0, 0)},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    TVector4 v = c.In;
    c.M.VecMult(v);
    EXPECT_TRUE(VectorNear(v, c.Out, kTolerance));
  }
  const TMatrix4 y30 = TMatrix4().RotY(30);
  EXPECT_NEAR(y30.A[TMatrix4::A31], 0.5f, kTolerance);
  EXPECT_NEAR(y30.A[TMatrix4::A13], -0.5f, kTolerance);
}

TEST(Matrix4Test, CompositeRotationsAreProductsInTheirNamedOrder) {
  const float x = 10, y = 20, z = 30;
  TMatrix4 zxy = TMatrix4().RotZ(z);
  zxy.MatMult(TMatrix4().RotX(x)).MatMult(TMatrix4().RotY(y));
  EXPECT_TRUE(MatrixNear(TMatrix4().RotZXY(x, y, z), zxy, 0.0f));

  TMatrix4 yxz = TMatrix4().RotY(y);
  yxz.MatMult(TMatrix4().RotX(x)).MatMult(TMatrix4().RotZ(z));
  EXPECT_TRUE(MatrixNear(TMatrix4().RotYXZ(x, y, z), yxz, 0.0f));
}

TEST(Matrix4Test, RotYXZOfNegatedAnglesInvertsRotZXY) {
  const float angles[][3] = {
      {0, 0, 0}, {45, -30, 0}, {10, 20, 30}, {-90, 90, 180}, {123, -77, 301}};
  for (const auto& a : angles) {
    SCOPED_TRACE(testing::Message() << a[0] << ", " << a[1] << ", " << a[2]);
    const TMatrix4 forward = TMatrix4().RotZXY(a[0], a[1], a[2]);
    const TMatrix4 inverse = TMatrix4().RotYXZ(-a[0], -a[1], -a[2]);
    EXPECT_TRUE(MatrixNear(inverse * forward, TMatrix4(), kTolerance));
    EXPECT_TRUE(MatrixNear(forward * inverse, TMatrix4(), kTolerance));
  }
}

TEST(Matrix4Test, MatMultPutsItsArgumentOnTheRight) {
  // Translate * Scale scales first: (1, 0, 0) -> (2, 0, 0) -> (3, 0, 0).
  TVector4 v = Vec3(1, 0, 0);
  TMatrix4().Translate(1, 0, 0).MatMult(TMatrix4().Scale(2, 2, 2)).VecMult(v);
  EXPECT_TRUE(VectorNear(v, Vec3(3, 0, 0), 0.0f));
  v = Vec3(1, 0, 0);
  TMatrix4().Scale(2, 2, 2).MatMult(TMatrix4().Translate(1, 0, 0)).VecMult(v);
  EXPECT_TRUE(VectorNear(v, Vec3(4, 0, 0), 0.0f));
}

TEST(Matrix4Test, MatMultGivenItselfSquares) {
  TMatrix4 m = Counting();
  const TMatrix4 expected = Counting().MatMult(Counting());
  m.MatMult(m);
  EXPECT_TRUE(MatrixNear(m, expected, 0.0f));
  EXPECT_EQ(m.A[TMatrix4::A11], 90.0f);  // row 1 (1, 5, 9, 13) . column 1 (1, 2, 3, 4)

  TMatrix4 r = TMatrix4().RotZ(30);
  r.MatMult(r);
  EXPECT_TRUE(MatrixNear(r, TMatrix4().RotZ(60), kTolerance));
}

TEST(Matrix4Test, VecMultReadsOnlyTheOldComponents) {
  TVector4 v = Vec4(1, 2, 3, 4);
  TVector4& result = Counting().VecMult(v);
  EXPECT_EQ(&result, &v);
  EXPECT_TRUE(VectorNear(v, Vec4(90, 100, 110, 120), 0.0f));

  TVector4 point = Vec4(0, 0, 0, 1);
  TVector4 direction = Vec4(0, 0, 0, 0);
  const TMatrix4 t = TMatrix4().Translate(1, 2, 3);
  t.VecMult(point);
  t.VecMult(direction);
  EXPECT_TRUE(VectorNear(point, Vec4(1, 2, 3, 1), 0.0f));
  EXPECT_TRUE(VectorNear(direction, Vec4(0, 0, 0, 0), 0.0f));
}

TEST(Matrix4Test, ProductOperatorsAreMatMultAndVecMultOnCopies) {
  const TMatrix4 m = Counting();
  const TMatrix4 n = TMatrix4().RotZXY(10, 20, 30);
  const TMatrix4 product = m * n;
  EXPECT_TRUE(MatrixNear(product, Counting().MatMult(n), 0.0f));
  EXPECT_TRUE(MatrixNear(m, Counting(), 0.0f));

  const TVector4 v = Vec4(1, 2, 3, 4);
  TVector4 inPlace = v;
  n.VecMult(inPlace);
  EXPECT_TRUE(VectorNear(n * v, inPlace, 0.0f));
  EXPECT_TRUE(VectorNear(v, Vec4(1, 2, 3, 4), 0.0f));
}

// The sanitizer builds keep asserts; an index outside 1..4 must stop there.
TEST(Matrix4Test, AnElementOutsideTheMatrixIsCaughtWhereAssertsAreOn) {
#ifdef NDEBUG
  GTEST_SKIP() << "asserts are compiled out of this build";
#else
  TMatrix4 m;
  EXPECT_DEATH(m.At(0, 1), "");
  EXPECT_DEATH(m.At(1, 5), "");
#endif
}

TEST(Matrix4Test, TransposeSwapsRowsAndColumns) {
  TMatrix4 m = Counting();
  m.Transpose();
  for (int r = 1; r <= 4; ++r) {
    for (int c = 1; c <= 4; ++c) EXPECT_EQ(m.At(r, c), 4.0f * (r - 1) + c);
  }
}

}  // namespace
