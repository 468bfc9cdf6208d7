#pragma once

#include <array>
#include <cstdint>
#include <cstdio>
#include <stdexcept>
#include <string>
#include <vector>

#include "gpu/Image.h"

class TChunk;

// A glTF 2.0 binary file (GLB) of chunks as the viewer draws them, written in
// one pass over the chunks: their vertex and index data go straight into the
// binary chunk as they come, behind room left for the JSON, and only their
// offsets, counts and bounds stay in memory until Finish fills that room with
// the JSON (padded with spaces) and writes the headers.
//
// What the file holds:
// - one node per chunk, named "chunk X Z", placed at (32 X, 0, 32 Z) by its
//   translation, with one mesh of the chunk's faces in local coordinates (a
//   chunk without faces gets a node without a mesh);
// - one glTF vertex per vertex record of the viewer, interleaved, VERTEX_SIZE
//   bytes: POSITION (float x 3), NORMAL (float x 3), COLOR_0 (the colour
//   bytes, unsigned byte x 4, normalized), TEXCOORD_0 (face atlas s, t) and
//   TEXCOORD_1 (ambient-occlusion atlas s, t); the records' unused third
//   texture coordinates are left out;
// - each face as two triangles, 6 unsigned int indices, counter-clockwise as
//   seen from the open cell it faces, so glTF's front faces are the faces the
//   viewer shows;
// - NORMAL is the outward normal of that front face, pointing into the open
//   cell: the opposite of the viewer's records, whose normal points into the
//   block for its fixed-function lighting, since glTF consumers light a face
//   with its outward normal;
// - one material: the face atlas as base colour texture and the ambient-
//   occlusion atlas as occlusion texture on TEXCOORD_1, embedded as PNG,
//   sampled nearest and repeating as the viewer samples them; not metallic,
//   fully rough. An atlas left out is left out of the material.
// Texture coordinates need no flip: the viewer's t = 0 and glTF's v = 0 are
// both the image's top row.
class TGlbWriter {
 public:
  static constexpr int VERTEX_SIZE = 44;
  // A GLB file states its length in 32 bits.
  static constexpr std::uint64_t MAX_FILE_SIZE = 0xFFFFFFFFull;

  // Thrown when the file would pass MAX_FILE_SIZE.
  class TTooLarge : public std::runtime_error {
   public:
    using std::runtime_error::runtime_error;
  };

  // One chunk's faces in the file's vertex layout; made on a worker thread.
  struct TChunkMesh {
    int ChunkX = 0;
    int ChunkZ = 0;
    int Faces = 0;
    std::vector<std::uint8_t> Vertices;  // 4 * Faces vertices of VERTEX_SIZE bytes
    std::array<float, 3> Min{};          // bounds of the positions, if Faces > 0
    std::array<float, 3> Max{};
  };

  // The faces of a built chunk (after BuildVertexData), from its vertex records.
  static TChunkMesh ConvertChunk(const TChunk& chunk);

  // Room for the JSON of each chunk and of the rest of the document: more than
  // they can take, whatever the coordinates and counts.
  static constexpr std::uint64_t JSON_PER_CHUNK = 2048;
  static constexpr std::uint64_t JSON_FIXED = 4096;

  // Starts a file of at most `chunks` chunks on `out`, an empty regular file
  // open for writing, which the caller keeps open until Finish has returned.
  // Throws TTooLarge if the room for their JSON alone would not fit.
  TGlbWriter(std::FILE* out, std::uint64_t chunks);

  // The atlases of the material, as the viewer's textures hold them; null
  // leaves one out. Called once, before the first chunk.
  void SetAtlases(const TImage* faces, const TImage* ao);
  // Appends a chunk. Throws TTooLarge if the file would pass MAX_FILE_SIZE,
  // and std::runtime_error with the reason if the file cannot be written.
  void AddChunk(const TChunkMesh& mesh);
  // Completes the file. Throws like AddChunk.
  void Finish();

 private:
  struct TImageView {
    std::string Name;
    std::uint64_t Offset, Length;
  };
  struct TChunkView {
    int ChunkX, ChunkZ, Faces;
    std::uint64_t Offset;  // vertices; the indices follow them
    std::array<float, 3> Min, Max;
  };

  std::string JsonText() const;
  void Append(const void* data, std::size_t size);
  void AppendImage(const std::string& name, const TImage& image);

  std::FILE* Out_;
  std::uint64_t MaxChunks_;
  std::uint64_t JsonRoom_;      // bytes of the JSON chunk, a multiple of 4
  std::uint64_t BinStart_;      // file offset of the binary chunk's data
  std::uint64_t BinBytes_ = 0;  // a multiple of 4, so every view starts aligned
  std::vector<TImageView> Images_;
  bool HasFaceAtlas_ = false;
  bool HasAOAtlas_ = false;
  std::vector<TChunkView> Chunks_;
};
