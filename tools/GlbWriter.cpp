#include "tools/GlbWriter.h"

#include <algorithm>
#include <bit>
#include <cerrno>
#include <cstring>
#include <limits>
#include <nlohmann/json.hpp>
#include <stdexcept>

#include "gpu/PngWriter.h"
#include "world/Chunk.h"

// Vertex records, indices and the GLB header are written as they lie in memory.
static_assert(std::endian::native == std::endian::little);

namespace {

// Numbers from the glTF and OpenGL enumerations.
constexpr int kArrayBuffer = 34962;
constexpr int kElementArrayBuffer = 34963;
constexpr int kUnsignedByte = 5121;
constexpr int kUnsignedInt = 5125;
constexpr int kFloat = 5126;
constexpr int kNearest = 9728;
constexpr int kRepeat = 10497;
constexpr int kTriangles = 4;
constexpr std::uint32_t kMagic = 0x46546C67;      // "glTF"
constexpr std::uint32_t kJsonChunk = 0x4E4F534A;  // "JSON"
constexpr std::uint32_t kBinChunk = 0x004E4942;   // "BIN\0"

// Byte offsets within a vertex of the file.
constexpr int kPosition = 0;
constexpr int kNormal = 12;
constexpr int kColour = 24;
constexpr int kFaceCoords = 28;
constexpr int kAOCoords = 36;

constexpr int kIndicesPerFace = 6;
// Corners of a face's two triangles: the viewer's corners run clockwise as
// seen from the open cell, so they are taken backwards.
constexpr std::uint32_t kFaceCorners[kIndicesPerFace] = {0, 3, 2, 0, 2, 1};

constexpr std::uint64_t PaddedTo4(std::uint64_t n) {
  return (n + 3) / 4 * 4;
}

std::string ChunkName(int x, int z) {
  return "chunk " + std::to_string(x) + " " + std::to_string(z);
}

[[noreturn]] void ThrowWriteError() {
  throw std::runtime_error(std::strerror(errno != 0 ? errno : EIO));
}

void Write(std::FILE* out, const void* data, std::size_t size) {
  errno = 0;
  if (size > 0 && std::fwrite(data, 1, size, out) != size) ThrowWriteError();
}

}  // namespace

TGlbWriter::TChunkMesh TGlbWriter::ConvertChunk(const TChunk& chunk) {
  TChunkMesh mesh;
  mesh.ChunkX = chunk.ChunkX;
  mesh.ChunkZ = chunk.ChunkZ;
  mesh.Faces = chunk.VertexCount / 4;
  const auto count = static_cast<std::size_t>(chunk.VertexCount);
  mesh.Vertices.resize(count * VERTEX_SIZE);
  mesh.Min.fill(std::numeric_limits<float>::infinity());
  mesh.Max.fill(-std::numeric_limits<float>::infinity());
  for (std::size_t n = 0; n < count; ++n) {
    const std::uint8_t* record = chunk.VertexData.data() + n * chunk.VertexSize;
    std::uint8_t* vertex = mesh.Vertices.data() + n * VERTEX_SIZE;
    float position[3], normal[3], coords[6];
    std::memcpy(position, record + chunk.PositionIndex, sizeof position);
    std::memcpy(normal, record + chunk.NormalIndex, sizeof normal);
    std::memcpy(coords, record + chunk.TexCoordIndex, sizeof coords);
    // 0 - v rather than -v: no negative zeros.
    for (float& component : normal) component = 0.0f - component;
    std::memcpy(vertex + kPosition, position, sizeof position);
    std::memcpy(vertex + kNormal, normal, sizeof normal);
    std::memcpy(vertex + kColour, record + chunk.ColorIndex, 4);
    std::memcpy(vertex + kFaceCoords, coords, 2 * sizeof(float));
    std::memcpy(vertex + kAOCoords, coords + 3, 2 * sizeof(float));
    for (int axis = 0; axis < 3; ++axis) {
      mesh.Min[axis] = std::min(mesh.Min[axis], position[axis]);
      mesh.Max[axis] = std::max(mesh.Max[axis], position[axis]);
    }
  }
  return mesh;
}

TGlbWriter::TGlbWriter(std::FILE* out, std::uint64_t chunks)
    : Out_(out),
      MaxChunks_(chunks),
      JsonRoom_(PaddedTo4(JSON_FIXED + JSON_PER_CHUNK * chunks)),
      BinStart_(12 + 8 + JsonRoom_ + 8) {
  if (BinStart_ > MAX_FILE_SIZE)
    throw TTooLarge("the file would pass the 4 GiB that a GLB file can hold");
  errno = 0;
  if (fseeko(Out_, static_cast<off_t>(BinStart_), SEEK_SET) != 0) ThrowWriteError();
}

void TGlbWriter::Append(const void* data, std::size_t size) {
  Write(Out_, data, size);
  BinBytes_ += size;
}

void TGlbWriter::AppendImage(const std::string& name, const TImage& image) {
  const std::uint64_t offset = BinBytes_;
  errno = 0;
  TPngWriter png(Out_, image.Width, image.Height, 9);
  if (!png.WriteRows(image.Pixels.data(), image.Height) || !png.Finish()) ThrowWriteError();
  const auto end = ftello(Out_);
  if (end < 0) ThrowWriteError();
  BinBytes_ = static_cast<std::uint64_t>(end) - BinStart_;
  Images_.push_back({name, offset, BinBytes_ - offset});
  static constexpr std::uint8_t kZeros[3] = {};
  Append(kZeros, PaddedTo4(BinBytes_) - BinBytes_);
}

void TGlbWriter::SetAtlases(const TImage* faces, const TImage* ao) {
  if (faces) AppendImage("Texture.png", *faces);
  if (ao) AppendImage("AO.png", *ao);
  HasFaceAtlas_ = faces != nullptr;
  HasAOAtlas_ = ao != nullptr;
}

void TGlbWriter::AddChunk(const TChunkMesh& mesh) {
  if (Chunks_.size() == MaxChunks_)
    throw std::logic_error("more chunks than the file has room for");
  const auto faces = static_cast<std::uint64_t>(mesh.Faces);
  const std::uint64_t bytes = faces * 4 * VERTEX_SIZE + faces * kIndicesPerFace * 4;
  if (BinStart_ + BinBytes_ + bytes > MAX_FILE_SIZE)
    throw TTooLarge("the file would pass the 4 GiB that a GLB file can hold");
  TChunkView view{mesh.ChunkX, mesh.ChunkZ, mesh.Faces, BinBytes_, mesh.Min, mesh.Max};
  Append(mesh.Vertices.data(), mesh.Vertices.size());
  std::vector<std::uint32_t> indices(faces * kIndicesPerFace);
  for (std::uint64_t face = 0; face < faces; ++face) {
    for (int n = 0; n < kIndicesPerFace; ++n)
      indices[face * kIndicesPerFace + n] = static_cast<std::uint32_t>(4 * face) + kFaceCorners[n];
  }
  Append(indices.data(), indices.size() * sizeof(std::uint32_t));
  Chunks_.push_back(view);
}

std::string TGlbWriter::JsonText() const {
  using json = nlohmann::ordered_json;
  json document;
  document["asset"] = {{"version", "2.0"}, {"generator", "voxeltool export"}};
  document["scene"] = 0;

  json images = json::array(), views = json::array();
  for (const TImageView& image : Images_) {
    images.push_back(
        {{"name", image.Name}, {"bufferView", views.size()}, {"mimeType", "image/png"}});
    views.push_back({{"buffer", 0}, {"byteOffset", image.Offset}, {"byteLength", image.Length}});
  }

  json material = {{"name", "blocks"}};
  json& pbr = material["pbrMetallicRoughness"];
  int texture = 0;
  if (HasFaceAtlas_) pbr["baseColorTexture"] = {{"index", texture++}};
  pbr["metallicFactor"] = 0;
  pbr["roughnessFactor"] = 1;
  if (HasAOAtlas_) material["occlusionTexture"] = {{"index", texture++}, {"texCoord", 1}};
  if (texture > 0) {
    document["samplers"] = json::array({{{"magFilter", kNearest},
                                         {"minFilter", kNearest},
                                         {"wrapS", kRepeat},
                                         {"wrapT", kRepeat}}});
    json textures = json::array();
    for (int n = 0; n < texture; ++n) textures.push_back({{"sampler", 0}, {"source", n}});
    document["textures"] = std::move(textures);
    document["images"] = std::move(images);
  }
  document["materials"] = json::array({std::move(material)});

  json nodes = json::array(), meshes = json::array(), accessors = json::array();
  for (const TChunkView& chunk : Chunks_) {
    const std::string name = ChunkName(chunk.ChunkX, chunk.ChunkZ);
    json node = {{"name", name},
                 {"translation",
                  {TChunk::CHUNK_WIDTH * chunk.ChunkX, 0, TChunk::CHUNK_DEPTH * chunk.ChunkZ}}};
    if (chunk.Faces > 0) {
      const auto vertices = static_cast<std::uint64_t>(chunk.Faces) * 4;
      const std::uint64_t indices = static_cast<std::uint64_t>(chunk.Faces) * kIndicesPerFace;
      const std::size_t vertexView = views.size();
      views.push_back({{"buffer", 0},
                       {"byteOffset", chunk.Offset},
                       {"byteLength", vertices * VERTEX_SIZE},
                       {"byteStride", VERTEX_SIZE},
                       {"target", kArrayBuffer}});
      views.push_back({{"buffer", 0},
                       {"byteOffset", chunk.Offset + vertices * VERTEX_SIZE},
                       {"byteLength", indices * 4},
                       {"target", kElementArrayBuffer}});
      const auto attribute = [&](int offset, int componentType, const char* type) {
        json accessor = {{"bufferView", vertexView},
                         {"byteOffset", offset},
                         {"componentType", componentType},
                         {"count", vertices},
                         {"type", type}};
        if (componentType == kUnsignedByte) accessor["normalized"] = true;
        accessors.push_back(std::move(accessor));
        return accessors.size() - 1;
      };
      json attributes = {{"POSITION", attribute(kPosition, kFloat, "VEC3")},
                         {"NORMAL", attribute(kNormal, kFloat, "VEC3")},
                         {"COLOR_0", attribute(kColour, kUnsignedByte, "VEC4")},
                         {"TEXCOORD_0", attribute(kFaceCoords, kFloat, "VEC2")},
                         {"TEXCOORD_1", attribute(kAOCoords, kFloat, "VEC2")}};
      json& position = accessors[attributes["POSITION"].get<std::size_t>()];
      position["min"] = chunk.Min;
      position["max"] = chunk.Max;
      accessors.push_back({{"bufferView", vertexView + 1},
                           {"componentType", kUnsignedInt},
                           {"count", indices},
                           {"type", "SCALAR"}});
      meshes.push_back({{"name", name},
                        {"primitives", json::array({{{"attributes", attributes},
                                                     {"indices", accessors.size() - 1},
                                                     {"material", 0},
                                                     {"mode", kTriangles}}})}});
      node["mesh"] = meshes.size() - 1;
    }
    nodes.push_back(std::move(node));
  }
  json sceneNodes = json::array();
  for (std::size_t n = 0; n < nodes.size(); ++n) sceneNodes.push_back(n);
  document["scenes"] =
      json::array({sceneNodes.empty() ? json::object() : json{{"nodes", sceneNodes}}});
  // Moved, not copied: the arrays hold most of the document.
  if (!nodes.empty()) document["nodes"] = std::move(nodes);
  if (!meshes.empty()) document["meshes"] = std::move(meshes);
  if (!accessors.empty()) document["accessors"] = std::move(accessors);
  if (!views.empty()) document["bufferViews"] = std::move(views);
  if (BinBytes_ > 0) document["buffers"] = json::array({{{"byteLength", BinBytes_}}});
  return document.dump();
}

void TGlbWriter::Finish() {
  const std::string json = JsonText();
  if (json.size() > JsonRoom_) throw std::logic_error("the JSON outgrew the room left for it");
  // Without any binary data the file ends after the JSON chunk.
  const std::uint64_t total = BinBytes_ > 0 ? BinStart_ + BinBytes_ : 12 + 8 + JsonRoom_;
  const std::uint32_t header[5] = {kMagic, 2, static_cast<std::uint32_t>(total),
                                   static_cast<std::uint32_t>(JsonRoom_), kJsonChunk};
  const std::uint32_t binHeader[2] = {static_cast<std::uint32_t>(BinBytes_), kBinChunk};
  errno = 0;
  if (fseeko(Out_, 0, SEEK_SET) != 0) ThrowWriteError();
  Write(Out_, header, sizeof header);
  Write(Out_, json.data(), json.size());
  // The rest of the room is the JSON chunk's padding: trailing spaces.
  const std::string spaces(4096, ' ');
  for (std::uint64_t left = JsonRoom_ - json.size(); left > 0;) {
    const std::size_t n = static_cast<std::size_t>(std::min<std::uint64_t>(left, spaces.size()));
    Write(Out_, spaces.data(), n);
    left -= n;
  }
  if (BinBytes_ > 0) Write(Out_, binHeader, sizeof binHeader);
}
