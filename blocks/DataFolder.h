#pragma once

#include <string>

// The folder that the block script and the atlases are read from. The viewer
// reads them from its working directory, always; voxeltool may choose another
// folder (the data installed with it) before anything is loaded.
class TDataFolder {
 public:
  // The path to open for the data file `name` (Blocks.lua, Texture.png,
  // AO.png): `name` itself while no folder is chosen, so that the viewer's
  // paths and error messages stay exactly as they are.
  static std::string PathOf(const std::string& name);
  // Reads the data from `folder` from now on; "" is the working directory.
  static void Choose(const std::string& folder);
  static const std::string& Chosen() { return Folder_; }

 private:
  static inline std::string Folder_;
};
