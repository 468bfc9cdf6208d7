#pragma once

#include <array>
#include <cstdint>
#include <cstring>
#include <functional>
#include <memory>

#include "gpu/Texture2D.h"
#include "gpu/VertexBufferObject.h"
#include "scene/Entity.h"

// The drawable entity: an interleaved vertex buffer, an optional 16-bit index
// buffer and up to MAX_TEXTURES textures, drawn as GL_QUADS through client
// arrays. Every mesh is in TRenderRegistry::MeshList from its construction on.
//
// The vertex record (52 bytes, little-endian, no padding) is the program's one
// GPU vertex format:
//   0  position x, y, z     float32 x 3
//   12 normal x, y, z       float32 x 3
//   24 red, green, blue, alpha  uint8 x 4
//   28 unit 0: s, t, r      float32 x 3
//   40 unit 1: s, t, r      float32 x 3
// Faces wind their four corners clockwise as seen from the side meant to be
// seen; the renderer culls front (counter-clockwise) faces.
class TMesh : public TEntity {
 protected:
  // Only the factories make meshes, so every mesh is registered.
  struct TKey {
    explicit TKey() = default;
  };

 public:
  static constexpr int MAX_TEXTURES = 8;

  explicit TMesh(TKey) {}

  // A new, registered mesh without buffers.
  static std::shared_ptr<TMesh> New();
  // A new, registered mesh around the given buffers; Init creates the missing ones.
  static std::shared_ptr<TMesh> Create(std::shared_ptr<TVertexBufferObject> vbo,
                                       std::shared_ptr<TVertexBufferObject> ibo,
                                       std::function<int(TMesh&)> callback);

  int Hidden = 0;         // non-zero: the renderer skips the mesh
  int VertexSize = 52;    // stride in bytes
  int PositionIndex = 0;  // byte offsets in a record; negative = attribute absent
  int NormalIndex = 12;
  int ColorIndex = 24;
  int TexCoordIndex = 28;  // first of the two coordinate sets; set i at + 12 * i
  int VertexCount = 0;     // vertices drawn, or indices with an index buffer
  std::shared_ptr<TVertexBufferObject> VBO;
  std::shared_ptr<TVertexBufferObject> IBO;  // null: drawn without indices
  std::array<std::shared_ptr<TTexture2D>, MAX_TEXTURES> Textures;
  std::function<int(TMesh&)> DrawCallback;  // replaces DefaultDraw when set

  // 0 <= index < MAX_TEXTURES.
  virtual void SetTexture(std::shared_ptr<TTexture2D> texture, int index);
  // Creates whichever of VBO and IBO is missing (static draw usage).
  virtual void Init();
  virtual void Draw();
  virtual void DefaultDraw();
  // A unit cube centred on the mesh origin, into both buffers (Init first).
  virtual void MakeCube();
  // The 24 records of the unit cube whose minimum corner is (x, y, z); returns
  // the pointer past them.
  std::uint8_t* RenderCubeIntoBuffer(std::uint8_t* buffer, float x, float y, float z) const;

  // Writes one record at `buffer` and returns buffer + VertexSize. The argument
  // order (position, normal, set 0, colour, set 1) differs from the storage
  // order. Attributes with a negative offset are not written. Reads only the
  // layout fields, so worker threads may call it.
  std::uint8_t* RenderVertexIntoBuffer(std::uint8_t* buffer, float px, float py, float pz, float nx,
                                       float ny, float nz, float s0, float t0, float r0,
                                       std::uint8_t red, std::uint8_t green, std::uint8_t blue,
                                       std::uint8_t alpha, float s1, float t1, float r1) const {
    if (PositionIndex >= 0) {
      const float position[3] = {px, py, pz};
      std::memcpy(buffer + PositionIndex, position, sizeof position);
    }
    if (NormalIndex >= 0) {
      const float normal[3] = {nx, ny, nz};
      std::memcpy(buffer + NormalIndex, normal, sizeof normal);
    }
    if (ColorIndex >= 0) {
      const std::uint8_t colour[4] = {red, green, blue, alpha};
      std::memcpy(buffer + ColorIndex, colour, sizeof colour);
    }
    if (TexCoordIndex >= 0) {
      const float coords[6] = {s0, t0, r0, s1, t1, r1};
      std::memcpy(buffer + TexCoordIndex, coords, sizeof coords);
    }
    return buffer + VertexSize;
  }

 protected:
  // Appends a freshly made mesh to TRenderRegistry::MeshList; every factory calls it.
  static void Register(const std::shared_ptr<TMesh>& mesh);
};
