#include "platform/ReadFile.h"

std::optional<std::string> ReadWholeFile(const std::string& path) {
  // stdio reports a failed read through ferror; stream iterators over an
  // ifstream throw instead (a directory opens but cannot be read).
  const TFileHandle file = OpenFile(path, "rb");
  if (!file) return std::nullopt;
  std::string content;
  char chunk[65536];
  std::size_t count = 0;
  while ((count = std::fread(chunk, 1, sizeof chunk, file.get())) > 0) content.append(chunk, count);
  if (std::ferror(file.get())) return std::nullopt;
  return content;
}
