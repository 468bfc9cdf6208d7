#include "scene/Entity.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <memory>

#include "tests/math/MatrixNear.h"

namespace {

constexpr float kTolerance = 1e-5f;

using TGetter = std::shared_ptr<const TMatrix4> (TEntity::*)() const;

struct TNamedGetter {
  const char* Name;
  TGetter Get;
};

const TNamedGetter kGetters[6] = {
    {"GetTransform", &TEntity::GetTransform},
    {"GetInvTransform", &TEntity::GetInvTransform},
    {"GetVectorTransform", &TEntity::GetVectorTransform},
    {"GetInvVectorTransform", &TEntity::GetInvVectorTransform},
    {"GetNormalTransform", &TEntity::GetNormalTransform},
    {"GetInvNormalTransform", &TEntity::GetInvNormalTransform},
};

// Located, turned and scaled unevenly, so every factor shows in every transform.
void Place(TEntity& e) {
  e.Locate(3, -4, 5);
  e.Rotate(30, 45, 60);
  e.Scale(2, 3, 0.5f);
}

TEST(EntityTest, NewEntityHasIdentityTransforms) {
  TEntity e;
  for (const TNamedGetter& g : kGetters) {
    SCOPED_TRACE(g.Name);
    EXPECT_TRUE(MatrixNear(*(e.*g.Get)(), TMatrix4(), 0.0f));
  }
}

TEST(EntityTest, LocatedEntityTranslatesBothWays) {
  TEntity e;
  e.Locate(1, 2, 3);
  EXPECT_TRUE(MatrixNear(*e.GetTransform(), TMatrix4().Translate(1, 2, 3), 0.0f));
  EXPECT_TRUE(MatrixNear(*e.GetInvTransform(), TMatrix4().Translate(-1, -2, -3), 0.0f));
  EXPECT_EQ(e.Position.W, 1.0f);
}

TEST(EntityTest, TransformScalesThenRotatesThenTranslates) {
  TEntity e;
  Place(e);
  TVector4 local = Vec3(1, 1, 1);
  const TVector4 expected = e.Rotation * Vec3(2, 3, 0.5f) + Vec3(3, -4, 5);
  EXPECT_TRUE(VectorNear(TFormPoint(local, &e, nullptr), expected, kTolerance));

  // Directions and normals take no translation and keep W.
  TVector4 origin = Vec3(0, 0, 0);
  TFormVector(origin, &e, nullptr);
  EXPECT_TRUE(VectorNear(origin, Vec3(0, 0, 0), 0.0f));
  TVector4 normal = Vec4(0, 0, 0, 0);
  TFormNormal(normal, &e, nullptr);
  EXPECT_TRUE(VectorNear(normal, Vec4(0, 0, 0, 0), 0.0f));
}

TEST(EntityTest, EachInverseUndoesItsTransform) {
  TEntity e;
  Place(e);
  const TGetter pairs[][2] = {
      {&TEntity::GetTransform, &TEntity::GetInvTransform},
      {&TEntity::GetVectorTransform, &TEntity::GetInvVectorTransform},
      {&TEntity::GetNormalTransform, &TEntity::GetInvNormalTransform},
  };
  for (const auto& pair : pairs) {
    const TMatrix4 forward = *(e.*pair[0])();
    const TMatrix4 inverse = *(e.*pair[1])();
    EXPECT_TRUE(MatrixNear(forward * inverse, TMatrix4(), kTolerance));
    EXPECT_TRUE(MatrixNear(inverse * forward, TMatrix4(), kTolerance));
  }
}

TEST(EntityTest, NormalsStayPerpendicularUnderUnevenScale) {
  TEntity e;
  Place(e);
  TVector4 tangent = Vec4(1, 2, 0, 0);
  TVector4 normal = Vec4(2, -1, 0, 0);
  TFormVector(tangent, &e, nullptr);
  TFormNormal(normal, &e, nullptr);
  EXPECT_NEAR(tangent.Dot(normal), 0.0f, kTolerance);
}

TEST(EntityTest, FrameConversionsRoundTrip) {
  TEntity a;
  Place(a);
  TEntity b;
  b.Locate(-7, 1, 2);
  b.Rotate(-20, 10, 5);
  b.Scale(4, 4, 1);

  TVector4 v = Vec3(1, 2, 3);
  TFormPoint(v, &a, nullptr);
  TFormPoint(v, nullptr, &a);
  EXPECT_TRUE(VectorNear(v, Vec3(1, 2, 3), kTolerance));

  TVector4 w = Vec3(1, 2, 3);
  TFormPoint(w, &a, &b);
  TFormPoint(w, &b, &a);
  EXPECT_TRUE(VectorNear(w, Vec3(1, 2, 3), kTolerance));

  TVector4 u = Vec4(1, -2, 3, 4);
  TVector4& same = TFormVector(u, nullptr, nullptr);
  EXPECT_EQ(&same, &u);
  EXPECT_TRUE(VectorNear(u, Vec4(1, -2, 3, 4), 0.0f));
}

TEST(EntityTest, MoveInOwnOrParentFrame) {
  struct TCase {
    const char* Name;
    std::function<void(TEntity&)> Setup;
    TVector4 Offset;
    int InParentFrame;
    TVector4 Expected;
  };
  const TCase cases[] = {
      {"up from the origin", [](TEntity&) {}, Vec3(0, 100, 0), 0, Vec3(0, 100, 0)},
      {"own frame is scaled", [](TEntity& e) { e.Scale(2, 2, 2); }, Vec3(1, 0, 0), 0,
       Vec3(2, 0, 0)},
      {"parent frame is not scaled", [](TEntity& e) { e.Scale(2, 2, 2); }, Vec3(1, 0, 0), 1,
       Vec3(1, 0, 0)},
      {"own frame is rotated: forward after a quarter yaw", [](TEntity& e) { e.Rotate(0, 90, 0); },
       Vec3(0, 0, -1), 0, Vec3(1, 0, 0)},
      {"parent frame is not rotated", [](TEntity& e) { e.Rotate(0, 90, 0); }, Vec3(0, 0, -1), 1,
       Vec3(0, 0, -1)},
      {"adds to the position", [](TEntity& e) { e.Locate(5, 5, 5); }, Vec3(1, -2, 3), 7,
       Vec3(6, 3, 8)},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    TEntity e;
    c.Setup(e);
    e.GetTransform();
    e.Move(c.Offset.X, c.Offset.Y, c.Offset.Z, c.InParentFrame);
    EXPECT_TRUE(VectorNear(e.Position, c.Expected, kTolerance));
    const std::shared_ptr<const TMatrix4> t = e.GetTransform();
    EXPECT_TRUE(VectorNear(Vec3(t->A[TMatrix4::A14], t->A[TMatrix4::A24], t->A[TMatrix4::A34]),
                           c.Expected, kTolerance));
  }
}

TEST(EntityTest, TurnAfterRotatePitchesThenYawsAboutTheWorldAxis) {
  const float angles[][2] = {{30, 20}, {-45, 170}, {89, -90}};
  for (const auto& a : angles) {
    const float pitch = a[0], yaw = a[1];
    SCOPED_TRACE(testing::Message() << pitch << ", " << yaw);
    TEntity e;
    e.Rotate(pitch, 0, 0);
    e.Turn(0, yaw, 0);
    EXPECT_TRUE(MatrixNear(e.Rotation, TMatrix4().RotY(yaw) * TMatrix4().RotX(pitch), kTolerance));
    EXPECT_TRUE(
        MatrixNear(e.InvRotation, TMatrix4().RotX(-pitch) * TMatrix4().RotY(-yaw), kTolerance));
  }
}

TEST(EntityTest, TurnsAccumulateAndRotateDiscardsThem) {
  TEntity e;
  e.Turn(0, 30, 0);
  e.Turn(0, 40, 0);
  EXPECT_TRUE(MatrixNear(e.Rotation, TMatrix4().RotY(70), kTolerance));
  EXPECT_TRUE(MatrixNear(e.InvRotation, TMatrix4().RotY(-70), kTolerance));

  e.Turn(10, 20, 30);
  e.Rotate(5, 6, 7);
  EXPECT_TRUE(MatrixNear(e.Rotation, TMatrix4().RotZXY(5, 6, 7), 0.0f));
  EXPECT_TRUE(MatrixNear(e.InvRotation, TMatrix4().RotYXZ(-5, -6, -7), 0.0f));
}

TEST(EntityTest, InvRotationFollowsAnyTurnSequence) {
  TEntity e;
  e.Rotate(12, -34, 56);
  e.Turn(7, 8, 9);
  e.Turn(-40, 100, 3);
  e.Turn(0, 0, 90);
  EXPECT_TRUE(MatrixNear(e.Rotation * e.InvRotation, TMatrix4(), kTolerance));
}

TEST(EntityTest, OperationsClearOnlyTheCachesTheyAffect) {
  struct TCase {
    const char* Name;
    std::function<void(TEntity&)> Apply;
    bool PointTransformsRebuilt;
    bool OtherTransformsRebuilt;
  };
  const TCase cases[] = {
      {"Move own frame", [](TEntity& e) { e.Move(1, 0, 0, 0); }, true, false},
      {"Move parent frame", [](TEntity& e) { e.Move(1, 0, 0, 1); }, true, false},
      {"Locate", [](TEntity& e) { e.Locate(9, 9, 9); }, true, false},
      {"Turn", [](TEntity& e) { e.Turn(0, 10, 0); }, true, true},
      {"Rotate", [](TEntity& e) { e.Rotate(0, 10, 0); }, true, true},
      {"Scale", [](TEntity& e) { e.Scale(1, 2, 1); }, true, true},
      {"SetParent", [](TEntity& e) { e.SetParent(std::make_shared<TEntity>()); }, false, false},
      {"Reset final", [](TEntity& e) { e.ResetFinalTransform(); }, true, false},
      {"Reset all", [](TEntity& e) { e.ResetAllTransforms(); }, true, true},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    TEntity e;
    Place(e);
    std::shared_ptr<const TMatrix4> before[6];
    TMatrix4 values[6];
    for (int i = 0; i < 6; ++i) {
      before[i] = (e.*kGetters[i].Get)();
      values[i] = *before[i];
      EXPECT_EQ((e.*kGetters[i].Get)(), before[i]) << kGetters[i].Name << " is not cached";
    }
    c.Apply(e);
    for (int i = 0; i < 6; ++i) {
      SCOPED_TRACE(kGetters[i].Name);
      const bool rebuilt = i < 2 ? c.PointTransformsRebuilt : c.OtherTransformsRebuilt;
      const std::shared_ptr<const TMatrix4> after = (e.*kGetters[i].Get)();
      EXPECT_EQ(after != before[i], rebuilt);
      // A holder of the old object still sees the transform it was given.
      EXPECT_TRUE(MatrixNear(*before[i], values[i], 0.0f));
    }
  }
}

TEST(EntityTest, ZeroScaleGivesNonFiniteInversesWithoutError) {
  TEntity e;
  e.Rotate(10, 20, 30);
  e.Scale(0, 1, 1);
  EXPECT_TRUE(std::isinf(e.InvScaling.X));
  EXPECT_EQ(e.InvScaling.W, 1.0f);
  auto hasNonFinite = [](const TMatrix4& m) {
    for (float a : m.A) {
      if (!std::isfinite(a)) return true;
    }
    return false;
  };
  EXPECT_FALSE(hasNonFinite(*e.GetTransform()));
  EXPECT_TRUE(hasNonFinite(*e.GetInvTransform()));
  EXPECT_TRUE(hasNonFinite(*e.GetInvVectorTransform()));
  EXPECT_TRUE(hasNonFinite(*e.GetNormalTransform()));
}

}  // namespace
