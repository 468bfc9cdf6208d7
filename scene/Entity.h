#pragma once

#include <memory>

#include "math/Matrix4.h"
#include "math/Vector4.h"

// Something placed in the world: position, per-axis scaling and rotation, and
// six transforms built on demand and cached until an operation invalidates them.
// A rebuilt transform is a new object, so a caller that kept the old one still
// holds the previous transform. Angles are degrees about X, Y, Z (pitch, yaw,
// roll). Every transform maps between the entity's local frame and the world
// frame: Parent is stored but no transform reads it.
class TEntity {
 public:
  TEntity() = default;
  TEntity(const TEntity&) = delete;
  TEntity& operator=(const TEntity&) = delete;
  virtual ~TEntity() = default;

  std::shared_ptr<TEntity> Parent;
  TVector4 Position{0.0f, 0.0f, 0.0f, 1.0f};    // in the world frame
  TVector4 Scaling{1.0f, 1.0f, 1.0f, 1.0f};     // along the local axes
  TVector4 InvScaling{1.0f, 1.0f, 1.0f, 1.0f};  // 1 / Scaling, kept in step by Scale
  TMatrix4 Rotation;                            // local -> world orientation
  TMatrix4 InvRotation;                         // kept alongside Rotation, never inverted

  // Rotation = RotZXY(pitch, yaw, roll) * Rotation: turns about the world axes.
  void Turn(float pitch, float yaw, float roll);
  // inParentFrame == 0: the offset is in the entity's own frame (rotated and scaled);
  // otherwise it is a world offset used as given.
  void Move(float x, float y, float z, int inParentFrame);
  // Sets the rotation outright, discarding every earlier Turn.
  void Rotate(float pitch, float yaw, float roll);
  void Locate(float x, float y, float z);
  void Scale(float x, float y, float z);
  void SetParent(std::shared_ptr<TEntity> parent) { Parent = std::move(parent); }

  // The cached object itself, shared so that a holder keeps it across a rebuild;
  // callers must not change it. Reading a transform does not change the entity,
  // so the getters are const; building on first use only fills the cache.
  std::shared_ptr<const TMatrix4> GetTransform() const;           // T * R * S
  std::shared_ptr<const TMatrix4> GetInvTransform() const;        // S^-1 * R^-1 * T^-1
  std::shared_ptr<const TMatrix4> GetVectorTransform() const;     // R * S
  std::shared_ptr<const TMatrix4> GetInvVectorTransform() const;  // S^-1 * R^-1
  std::shared_ptr<const TMatrix4> GetNormalTransform() const;     // R * S^-1
  std::shared_ptr<const TMatrix4> GetInvNormalTransform() const;  // S * R^-1

  void ResetFinalTransform();
  void ResetAllTransforms();

  // Convert v in place from src's frame to dst's frame (null = the world) and
  // return it: a direction, a point (translation weighted by W) or a normal.
  static TVector4& TFormVector(TVector4& v, const TEntity* src, const TEntity* dst);
  static TVector4& TFormPoint(TVector4& v, const TEntity* src, const TEntity* dst);
  static TVector4& TFormNormal(TVector4& v, const TEntity* src, const TEntity* dst);

 private:
  // Null until a getter builds them; main thread only, like every entity.
  mutable std::shared_ptr<const TMatrix4> FinalTransform;
  mutable std::shared_ptr<const TMatrix4> InvFinalTransform;
  mutable std::shared_ptr<const TMatrix4> VectorTransform;
  mutable std::shared_ptr<const TMatrix4> InvVectorTransform;
  mutable std::shared_ptr<const TMatrix4> NormalTransform;
  mutable std::shared_ptr<const TMatrix4> InvNormalTransform;
};

inline TVector4& TFormVector(TVector4& v, const TEntity* src, const TEntity* dst) {
  return TEntity::TFormVector(v, src, dst);
}
inline TVector4& TFormPoint(TVector4& v, const TEntity* src, const TEntity* dst) {
  return TEntity::TFormPoint(v, src, dst);
}
inline TVector4& TFormNormal(TVector4& v, const TEntity* src, const TEntity* dst) {
  return TEntity::TFormNormal(v, src, dst);
}
