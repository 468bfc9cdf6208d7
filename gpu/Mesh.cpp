#include "gpu/Mesh.h"

#include <GL/glew.h>

#include <cassert>
#include <cstdint>

#include "scene/RenderRegistry.h"

namespace {

// A byte offset into the bound buffer, as the client-array calls take it.
const void* BufferOffset(int bytes) {
  return reinterpret_cast<const void*>(static_cast<std::intptr_t>(bytes));
}

}  // namespace

std::shared_ptr<TMesh> TMesh::New() {
  auto mesh = std::make_shared<TMesh>(TKey{});
  Register(mesh);
  return mesh;
}

std::shared_ptr<TMesh> TMesh::Create(std::shared_ptr<TVertexBufferObject> vbo,
                                     std::shared_ptr<TVertexBufferObject> ibo,
                                     std::function<int(TMesh&)> callback) {
  auto mesh = New();
  mesh->VBO = std::move(vbo);
  mesh->IBO = std::move(ibo);
  mesh->DrawCallback = std::move(callback);
  mesh->Init();
  return mesh;
}

void TMesh::Register(const std::shared_ptr<TMesh>& mesh) {
  TRenderRegistry::MeshList.push_back(mesh);
}

void TMesh::SetTexture(std::shared_ptr<TTexture2D> texture, int index) {
  assert(index >= 0 && index < MAX_TEXTURES);
  Textures[index] = std::move(texture);
}

void TMesh::Init() {
  if (!VBO) {
    VBO = TVertexBufferObject::Create(TVertexBufferObject::KIND_VERTEX_BUFFER);
    VBO->Bind();
    VBO->SetUsage(TVertexBufferObject::USAGE_STATIC, TVertexBufferObject::USAGE_DRAW);
  }
  if (!IBO) {
    IBO = TVertexBufferObject::Create(TVertexBufferObject::KIND_INDEX_BUFFER);
    IBO->Bind();
    IBO->SetUsage(TVertexBufferObject::USAGE_STATIC, TVertexBufferObject::USAGE_DRAW);
  }
}

void TMesh::Draw() {
  if (DrawCallback) {
    DrawCallback(*this);
  } else {
    DefaultDraw();
  }
}

void TMesh::DefaultDraw() {
  VBO->Bind();
  if (IBO) IBO->Bind();

  if (PositionIndex >= 0) {
    glEnableClientState(GL_VERTEX_ARRAY);
    glVertexPointer(3, GL_FLOAT, VertexSize, BufferOffset(PositionIndex));
  } else {
    glDisableClientState(GL_VERTEX_ARRAY);
  }
  if (NormalIndex >= 0) {
    glEnableClientState(GL_NORMAL_ARRAY);
    glNormalPointer(GL_FLOAT, VertexSize, BufferOffset(NormalIndex));
  } else {
    glDisableClientState(GL_NORMAL_ARRAY);
  }
  if (ColorIndex >= 0) {
    glEnableClientState(GL_COLOR_ARRAY);
    glColorPointer(4, GL_UNSIGNED_BYTE, VertexSize, BufferOffset(ColorIndex));
  } else {
    glDisableClientState(GL_COLOR_ARRAY);
  }
  // The record carries two coordinate sets, so only units 0 and 1 are bound.
  for (int unit = 0; unit < 2; ++unit) {
    if (!Textures[unit]) continue;
    glActiveTexture(GL_TEXTURE0 + unit);
    glClientActiveTexture(GL_TEXTURE0 + unit);
    Textures[unit]->SetState();
    glEnable(GL_TEXTURE_2D);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    if (TexCoordIndex >= 0) {
      glEnableClientState(GL_TEXTURE_COORD_ARRAY);
      glTexCoordPointer(3, GL_FLOAT, VertexSize, BufferOffset(TexCoordIndex + 12 * unit));
    }
  }

  if (IBO) {
    glDrawElements(GL_QUADS, VertexCount, GL_UNSIGNED_SHORT, BufferOffset(0));
  } else {
    glDrawArrays(GL_QUADS, 0, VertexCount);
  }

  for (int unit = 0; unit < MAX_TEXTURES; ++unit) {
    if (!Textures[unit]) continue;
    glActiveTexture(GL_TEXTURE0 + unit);
    glDisable(GL_TEXTURE_2D);
  }
  glDisableClientState(GL_VERTEX_ARRAY);
  glDisableClientState(GL_NORMAL_ARRAY);
  glDisableClientState(GL_COLOR_ARRAY);
  // Every coordinate array enabled above goes off, not only the client-active
  // one: an array left on would point into this mesh's buffer, which may be
  // gone when the next mesh draws. The loop ends on the unit it found active.
  bool textured = false;
  for (int unit = 0; unit < 2; ++unit) {
    if (!Textures[unit]) continue;
    textured = true;
    glClientActiveTexture(GL_TEXTURE0 + unit);
    glDisableClientState(GL_TEXTURE_COORD_ARRAY);
  }
  if (!textured) glDisableClientState(GL_TEXTURE_COORD_ARRAY);
}

void TMesh::MakeCube() {
  VBO->Bind();
  VBO->BufferData(24 * VertexSize, nullptr);
  VBO->Map(TVertexBufferObject::ACCESS_WRITE);
  // A failed mapping leaves DataPointer null; the store then stays undefined.
  if (auto* records = static_cast<std::uint8_t*>(VBO->DataPointer)) {
    RenderCubeIntoBuffer(records, -0.5f, -0.5f, -0.5f);
  }
  VBO->UnMap();

  IBO->Bind();
  IBO->BufferData(48, nullptr);
  IBO->Map(TVertexBufferObject::ACCESS_WRITE);
  if (auto* indices = static_cast<std::uint16_t*>(IBO->DataPointer)) {
    for (std::uint16_t i = 0; i < 24; ++i) indices[i] = i;
  }
  IBO->UnMap();

  VertexCount = 24;
}

std::uint8_t* TMesh::RenderCubeIntoBuffer(std::uint8_t* buffer, float x, float y, float z) const {
  struct TFace {
    float Normal[3];
    float Corners[4][3];  // offsets from the minimum corner, clockwise seen from outside
  };
  static constexpr TFace kFaces[6] = {
      {{0, 0, 1}, {{0, 1, 1}, {1, 1, 1}, {1, 0, 1}, {0, 0, 1}}},
      {{1, 0, 0}, {{1, 0, 0}, {1, 0, 1}, {1, 1, 1}, {1, 1, 0}}},
      {{0, 0, -1}, {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}}},
      {{-1, 0, 0}, {{0, 0, 1}, {0, 0, 0}, {0, 1, 0}, {0, 1, 1}}},
      {{0, 1, 0}, {{1, 1, 1}, {0, 1, 1}, {0, 1, 0}, {1, 1, 0}}},
      {{0, -1, 0}, {{1, 0, 1}, {1, 0, 0}, {0, 0, 0}, {0, 0, 1}}},
  };
  for (const TFace& face : kFaces) {
    for (const auto& corner : face.Corners) {
      buffer = RenderVertexIntoBuffer(buffer, x + corner[0], y + corner[1], z + corner[2],
                                      face.Normal[0], face.Normal[1], face.Normal[2], 0, 0, 0, 255,
                                      255, 255, 255, 0, 0, 0);
    }
  }
  return buffer;
}
