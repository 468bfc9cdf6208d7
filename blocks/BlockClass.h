#pragma once

#include <array>
#include <cstdint>
#include <memory>

#include "blocks/VoxelGrid.h"
#include "gpu/Texture2D.h"

// One kind of block: its ID, the atlas tile of each face and a few flags, as
// the block script defines them. Face order everywhere: 0 "Left" (+X side),
// 1 "Right" (-X), 2 "Front" (+Z), 3 "Back" (-Z), 4 "Top" (+Y), 5 "Bottom" (-Y).
//
// Atlas coordinates: both atlases are 16 x 16 tiles, V = 0 at the image's top
// row. Face tile n (1..256) is column (n - 1) % 16, row (n - 1) / 16; ambient-
// occlusion tile m (0..255) is column m % 16, row m / 16.
//
// The registry and tables are written on the main thread during start-up and
// only read afterwards, by the worker threads too, without locks.
class TBlockClass {
 public:
  static constexpr int MAX_BLOCK_COUNT = 1024;
  static constexpr const char* TEXTURE_PATH = "Texture.png";
  static constexpr const char* AO_PATH = "AO.png";
  static constexpr int FACES_PER_SIDE = 16;
  static constexpr float FACE_STEP = 0.0625f;
  static constexpr int AO_PER_SIDE = 16;
  static constexpr float AO_STEP = 0.0625f;

  virtual ~TBlockClass() = default;

  std::int32_t ID = 0;
  std::array<std::int32_t, 6> FaceTexture{};  // 1-based tile numbers; 0 = not given
  std::array<float, 6> FaceU{};               // left edge of each face's tile
  std::array<float, 6> FaceV{};               // top edge of each face's tile
  std::int32_t IsSolidBlock = 0;              // neither Transparent nor Masked
  std::int32_t IsLight = 0;
  std::int32_t Masked = 0;
  std::int32_t Transparent = 0;
  std::int32_t Colliding = 0;
  std::int32_t Flowing = 0;
  std::int32_t TransparentIndex = 0;  // script value n stored as -n - 1; -1 when masked
  float Transparency = 0.0f;          // half the script value
  float LightRadius = 0.0f;
  float InvLightRadius = 0.0f;  // 1 / LightRadius: +infinity for radius 0
  float LightR = 0.0f;
  float LightG = 0.0f;
  float LightB = 0.0f;
  std::int32_t ForceBorders = 0;

  // Computes the derived fields from the script fields.
  virtual void InitFields();

  // Slot i holds the class whose ID is i, or null; a slot is written at most once.
  static inline std::array<std::shared_ptr<TBlockClass>, MAX_BLOCK_COUNT> BlockClasses;
  static inline std::array<float, 256> AOTileU{};          // left edge of AO tile m
  static inline std::array<float, 256> AOTileV{};          // top edge of AO tile m
  static inline std::shared_ptr<TTexture2D> BlockTexture;  // null if Texture.png is unreadable
  static inline std::shared_ptr<TTexture2D> AOTexture;     // null if AO.png is unreadable

  // The class registered for `id`, or an all-zero class (not solid, tile 0)
  // for an empty slot or an ID outside the registry.
  static const TBlockClass& Lookup(int id);

  // LoadBlockTextures, then PrecalcAOCoordinates. Needs the OpenGL context.
  static void Init();
  // TEXTURE_PATH and AO_PATH, in TDataFolder.
  static void LoadBlockTextures();
  static void PrecalcAOCoordinates();
  // The 8-bit occupancy mask of the face seen from the open cell at grid indices
  // (x, y, z) in direction (dx, dy, dz): bit k is IsSolidBlock of the k-th cell
  // around the open cell in the plane across the direction's axis (the first
  // non-zero of dy, dx, dz; its sign does not matter). Read as a 3 x 3 grid in
  // reading order: bits 0..2 the first row, 3 and 4 the middle row's left and
  // right, 5..7 the last row. 0 for a zero direction. The 8 cells must lie
  // inside the grid.
  static int GetAOConfiguration(const TVoxelGrid& voxels, int x, int y, int z, int dx, int dy,
                                int dz);
};
