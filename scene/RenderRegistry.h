#pragma once

#include <memory>
#include <vector>

class TCamera;
class TLight;
class TMesh;

// The three registries through which things become visible. Cameras, lights
// and meshes enter them from their own factories, so the classes that register
// (here and in gpu/) need only this header, not the renderer that draws them.
// TRenderer (app/) derives from this class and draws what they hold; the code
// names them by this class everywhere, renderer, tools and tests alike.
// Main thread only.
class TRenderRegistry {
 public:
  // Colours are kept in 0..255 units and scaled by this when handed to OpenGL,
  // so 255 becomes 255/256, not 1. TLight scales its colours by the same factor.
  static constexpr float COLOR_SCALE = 0.00390625f;

  // The camera constructed last; the one the world is drawn through.
  static inline std::shared_ptr<TCamera> CurrentCamera;
  // Every mesh in order of construction; only chunk streaming removes entries.
  static inline std::vector<std::shared_ptr<TMesh>> MeshList;
  // Every light in order of construction; nothing removes entries.
  static inline std::vector<std::shared_ptr<TLight>> LightList;
};
