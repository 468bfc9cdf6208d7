#pragma once

#include <filesystem>

#include "gpu/Image.h"

// Writes `image` (8-bit RGBA) as a PNG file at `path`, or "-" for standard
// output, the way TOutputFile writes every file of the tools. Throws
// std::runtime_error naming the file and the reason if it cannot.
void WritePngFile(const TImage& image, const std::filesystem::path& path);
