#include "scene/Entity.h"

void TEntity::Turn(float pitch, float yaw, float roll) {
  TMatrix4 turned;
  turned.RotZXY(pitch, yaw, roll).MatMult(Rotation);
  Rotation = turned;
  TMatrix4 inverseTurn;
  InvRotation.MatMult(inverseTurn.RotYXZ(-pitch, -yaw, -roll));
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

std::shared_ptr<const TMatrix4> TEntity::GetTransform() {
  if (!FinalTransform) {
    auto m = std::make_shared<TMatrix4>();
    TMatrix4 scale;
    m->Translate(Position.X, Position.Y, Position.Z)
        .MatMult(Rotation)
        .MatMult(scale.Scale(Scaling.X, Scaling.Y, Scaling.Z));
    FinalTransform = std::move(m);
  }
  return FinalTransform;
}

std::shared_ptr<const TMatrix4> TEntity::GetInvTransform() {
  if (!InvFinalTransform) {
    auto m = std::make_shared<TMatrix4>();
    TMatrix4 translate;
    m->Scale(InvScaling.X, InvScaling.Y, InvScaling.Z)
        .MatMult(InvRotation)
        .MatMult(translate.Translate(-Position.X, -Position.Y, -Position.Z));
    InvFinalTransform = std::move(m);
  }
  return InvFinalTransform;
}

std::shared_ptr<const TMatrix4> TEntity::GetVectorTransform() {
  if (!VectorTransform) {
    auto m = std::make_shared<TMatrix4>(Rotation.Copy());
    TMatrix4 scale;
    m->MatMult(scale.Scale(Scaling.X, Scaling.Y, Scaling.Z));
    VectorTransform = std::move(m);
  }
  return VectorTransform;
}

std::shared_ptr<const TMatrix4> TEntity::GetInvVectorTransform() {
  if (!InvVectorTransform) {
    auto m = std::make_shared<TMatrix4>();
    m->Scale(InvScaling.X, InvScaling.Y, InvScaling.Z).MatMult(InvRotation);
    InvVectorTransform = std::move(m);
  }
  return InvVectorTransform;
}

std::shared_ptr<const TMatrix4> TEntity::GetNormalTransform() {
  if (!NormalTransform) {
    auto m = std::make_shared<TMatrix4>(Rotation.Copy());
    TMatrix4 scale;
    m->MatMult(scale.Scale(InvScaling.X, InvScaling.Y, InvScaling.Z));
    NormalTransform = std::move(m);
  }
  return NormalTransform;
}

std::shared_ptr<const TMatrix4> TEntity::GetInvNormalTransform() {
  if (!InvNormalTransform) {
    auto m = std::make_shared<TMatrix4>();
    m->Scale(Scaling.X, Scaling.Y, Scaling.Z).MatMult(InvRotation);
    InvNormalTransform = std::move(m);
  }
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

TVector4& TEntity::TFormVector(TVector4& v, TEntity* src, TEntity* dst) {
  if (src) src->GetVectorTransform()->VecMult(v);
  if (dst) dst->GetInvVectorTransform()->VecMult(v);
  return v;
}

TVector4& TEntity::TFormPoint(TVector4& v, TEntity* src, TEntity* dst) {
  if (src) src->GetTransform()->VecMult(v);
  if (dst) dst->GetInvTransform()->VecMult(v);
  return v;
}

TVector4& TEntity::TFormNormal(TVector4& v, TEntity* src, TEntity* dst) {
  if (src) src->GetNormalTransform()->VecMult(v);
  if (dst) dst->GetInvNormalTransform()->VecMult(v);
  return v;
}
