#include "gpu/Mesh.h"

#include "scene/RenderRegistry.h"

std::shared_ptr<TMesh> TMesh::New() {
  auto mesh = std::make_shared<TMesh>(TKey{});
  Register(mesh);
  return mesh;
}

void TMesh::Register(const std::shared_ptr<TMesh>& mesh) {
  TRenderRegistry::MeshList.push_back(mesh);
}
