#include "blocks/DataFolder.h"

std::string TDataFolder::PathOf(const std::string& name) {
  if (Folder_.empty()) return name;
  return Folder_.back() == '/' ? Folder_ + name : Folder_ + "/" + name;
}

void TDataFolder::Choose(const std::string& folder) {
  Folder_ = folder;
}
