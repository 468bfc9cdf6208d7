#include "scene/Entity.h"

namespace {

TMatrix4 ScaleMatrix(const TVector4& factors) {
  return TMatrix4().Scale(factors.X, factors.Y, factors.Z);
}

}  // namespace

void TEntity::Turn(float pitch, float yaw, float roll) {
  Rotation = TMatrix4().RotZXY(pitch, yaw, roll) * Rotation;
  InvRotation.MatMult(TMatrix4().RotYXZ(-pitch, -yaw, -roll));
  ResetAllTransforms();
}

void TEntity::Move(float x, float y, float z, int inParentFrame) {
  TVector4 offset = Vec3(x, y, z);
  if (inParentFrame == 0) TFormVector(offset, this, nullptr);
  Position.Plus(offset);
  ResetFinalTransform();
}

void TEntity::Rotate(float pitch, float yaw, float roll) {
  Rotation.RotZXY(pitch, yaw, roll);
  InvRotation.RotYXZ(-pitch, -yaw, -roll);
  ResetAllTransforms();
}

void TEntity::Locate(float x, float y, float z) {
  Position = Vec3(x, y, z);
  ResetFinalTransform();
}

void TEntity::Scale(float x, float y, float z) {
  Scaling = Vec3(x, y, z);
  InvScaling = Vec3(1.0f / x, 1.0f / y, 1.0f / z);
  ResetAllTransforms();
}

std::shared_ptr<const TMatrix4> TEntity::GetTransform() const {
  if (!FinalTransform) {
    FinalTransform = std::make_shared<TMatrix4>(
        TMatrix4().Translate(Position.X, Position.Y, Position.Z) * Rotation * ScaleMatrix(Scaling));
  }
  return FinalTransform;
}

std::shared_ptr<const TMatrix4> TEntity::GetInvTransform() const {
  if (!InvFinalTransform) {
    InvFinalTransform =
        std::make_shared<TMatrix4>(ScaleMatrix(InvScaling) * InvRotation *
                                   TMatrix4().Translate(-Position.X, -Position.Y, -Position.Z));
  }
  return InvFinalTransform;
}

std::shared_ptr<const TMatrix4> TEntity::GetVectorTransform() const {
  if (!VectorTransform)
    VectorTransform = std::make_shared<TMatrix4>(Rotation * ScaleMatrix(Scaling));
  return VectorTransform;
}

std::shared_ptr<const TMatrix4> TEntity::GetInvVectorTransform() const {
  if (!InvVectorTransform)
    InvVectorTransform = std::make_shared<TMatrix4>(ScaleMatrix(InvScaling) * InvRotation);
  return InvVectorTransform;
}

std::shared_ptr<const TMatrix4> TEntity::GetNormalTransform() const {
  if (!NormalTransform)
    NormalTransform = std::make_shared<TMatrix4>(Rotation * ScaleMatrix(InvScaling));
  return NormalTransform;
}

std::shared_ptr<const TMatrix4> TEntity::GetInvNormalTransform() const {
  if (!InvNormalTransform)
    InvNormalTransform = std::make_shared<TMatrix4>(ScaleMatrix(Scaling) * InvRotation);
  return InvNormalTransform;
}

void TEntity::ResetFinalTransform() {
  FinalTransform.reset();
  InvFinalTransform.reset();
}

void TEntity::ResetAllTransforms() {
  ResetFinalTransform();
  VectorTransform.reset();
  InvVectorTransform.reset();
  NormalTransform.reset();
  InvNormalTransform.reset();
}

TVector4& TEntity::TFormVector(TVector4& v, const TEntity* src, const TEntity* dst) {
  if (src) src->GetVectorTransform()->VecMult(v);
  if (dst) dst->GetInvVectorTransform()->VecMult(v);
  return v;
}

TVector4& TEntity::TFormPoint(TVector4& v, const TEntity* src, const TEntity* dst) {
  if (src) src->GetTransform()->VecMult(v);
  if (dst) dst->GetInvTransform()->VecMult(v);
  return v;
}

TVector4& TEntity::TFormNormal(TVector4& v, const TEntity* src, const TEntity* dst) {
  if (src) src->GetNormalTransform()->VecMult(v);
  if (dst) dst->GetInvNormalTransform()->VecMult(v);
  return v;
}
