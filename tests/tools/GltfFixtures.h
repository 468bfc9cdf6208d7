#pragma once

#include <tiny_gltf.h>

#include <cstdint>
#include <cstring>
#include <optional>
#include <set>
#include <string>
#include <vector>

// Helpers for the tests of the glTF export: the Khronos validator, and
// tinygltf as a reader independent of the writer.

// The validator's verdict on a file.
struct TValidation {
  bool Ran = false;  // false: the validator could not be run or read the file
  int Errors = 0, Warnings = 0, Infos = 0;
  std::set<std::string> Codes;  // of every reported issue
  std::string Report;           // the whole report, to print on failure
};

// Runs tests/tools/validate-gltf.js with Node on the file.
TValidation Validate(const std::string& path);

// Loads a GLB file with tinygltf, its images decoded by TImage::DecodePng.
// nullopt (and the reason in `error`) if it cannot.
std::optional<tinygltf::Model> LoadGlb(const std::string& path, std::string& error);

// The elements of an accessor as T (a float or byte array type of the
// accessor's element size), following its buffer view's stride.
template <class T>
std::vector<T> ReadAccessor(const tinygltf::Model& model, int index) {
  const tinygltf::Accessor& accessor = model.accessors.at(static_cast<std::size_t>(index));
  const tinygltf::BufferView& view =
      model.bufferViews.at(static_cast<std::size_t>(accessor.bufferView));
  const std::vector<unsigned char>& data =
      model.buffers.at(static_cast<std::size_t>(view.buffer)).data;
  const std::size_t stride = view.byteStride != 0 ? view.byteStride : sizeof(T);
  std::vector<T> elements(accessor.count);
  for (std::size_t n = 0; n < accessor.count; ++n) {
    const std::size_t offset = view.byteOffset + accessor.byteOffset + n * stride;
    if (offset + sizeof(T) > data.size()) return {};
    std::memcpy(&elements[n], data.data() + offset, sizeof(T));
  }
  return elements;
}
