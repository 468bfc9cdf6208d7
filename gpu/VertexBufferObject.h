#pragma once

#include <array>
#include <cstdint>
#include <memory>

// One OpenGL buffer object, vertex or index. A thin layer: each operation is one
// call on the buffer's binding target, and only Bind binds, so callers bind
// before Map, UnMap, BufferData and BufferSubData. Destruction deletes the
// buffer, so the last reference must go on the main thread.
class TVertexBufferObject {
  struct TKey {
    explicit TKey() = default;
  };

 public:
  static constexpr int KIND_VERTEX_BUFFER = 0;
  static constexpr int KIND_INDEX_BUFFER = 1;
  static constexpr int USAGE_STATIC = 0;
  static constexpr int USAGE_DYNAMIC = 1;
  static constexpr int USAGE_STREAM = 2;
  static constexpr int USAGE_DRAW = 0;
  static constexpr int USAGE_READ = 1;
  static constexpr int USAGE_COPY = 2;
  static constexpr int ACCESS_WRITE = 0;
  static constexpr int ACCESS_READ = 1;
  static constexpr int ACCESS_READ_WRITE = 2;

  // OpenGL enumerants by kind; by [frequency][nature]; by access code.
  static constexpr std::array<std::uint32_t, 2> GLTarget = {0x8892, 0x8893};
  static constexpr std::array<std::array<std::uint32_t, 3>, 3> GLUsage = {{
      {0x88E4, 0x88E5, 0x88E6},  // static: draw, read, copy
      {0x88E8, 0x88E9, 0x88EA},  // dynamic
      {0x88E0, 0x88E1, 0x88E2},  // stream
  }};
  static constexpr std::array<std::uint32_t, 3> GLAccess = {0x88B9, 0x88B8, 0x88BA};

  explicit TVertexBufferObject(TKey) {}
  TVertexBufferObject(const TVertexBufferObject&) = delete;
  TVertexBufferObject& operator=(const TVertexBufferObject&) = delete;
  ~TVertexBufferObject();

  std::uint32_t BufferID = 0;
  int Kind = KIND_VERTEX_BUFFER;
  std::uint32_t Usage = 0;        // the enumerant itself; 0 until SetUsage
  void* DataPointer = nullptr;    // valid between Map and UnMap
  std::int64_t DataBuffered = 0;  // bytes given to the last BufferData

  // Generates the buffer name; neither binds nor sets a usage. Main thread.
  static std::shared_ptr<TVertexBufferObject> Create(int kind);

  void Bind();
  void Map(int access);
  void UnMap();
  void SetUsage(int frequency, int nature);
  // With null data the store is allocated and left undefined.
  void BufferData(std::int64_t size, const void* data);
  void BufferSubData(std::int64_t offset, std::int64_t size, const void* data);
};
