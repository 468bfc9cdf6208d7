#include "tools/PngFile.h"

#include <cerrno>

#include "gpu/PngWriter.h"
#include "tools/OutputFile.h"

void WritePngFile(const TImage& image, const std::filesystem::path& path) {
  TOutputFile output(path);
  // Level 9, as TImage::SavePng: the pictures are small and written once.
  TPngWriter png(output.Stream(), image.Width, image.Height, 9);
  errno = 0;
  if (!png.WriteRows(image.Pixels.data(), image.Height) || !png.Finish()) output.Fail(errno);
  output.Commit();
}
