#include "tools/DataPack.h"

#include <cstdio>
#include <system_error>

#include "blocks/DataFolder.h"
#include "blocks/LuaHandler.h"

namespace {

// Anything named Blocks.lua makes a pack, even a file that cannot be read: the
// user meant it, and gets the viewer's error for it rather than other data.
bool IsPack(const std::filesystem::path& folder) {
  std::error_code error;
  const auto status = std::filesystem::symlink_status(folder / TLuaHandler::BLOCK_FILE_PATH, error);
  return !error && status.type() != std::filesystem::file_type::not_found;
}

}  // namespace

std::filesystem::path TDataPack::Select(const std::filesystem::path& working,
                                        const std::filesystem::path& installed) {
  if (IsPack(working) || installed.empty()) return {};
  return installed;
}

std::filesystem::path TDataPack::InstalledFolder(const std::filesystem::path& program) {
  // The path from the installed bin/ to the installed data, set by the build.
  const std::filesystem::path folder =
      (program.parent_path() / VX_INSTALLED_DATA_FROM_BIN).lexically_normal();
  return IsPack(folder) ? folder : std::filesystem::path();
}

void TDataPack::Use(const std::string& command) {
  std::error_code error;
  const std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", error);
  const std::filesystem::path folder = Select(".", error ? "" : InstalledFolder(program));
  TDataFolder::Choose(folder.string());
  if (!folder.empty())
    std::fprintf(stderr, "%s: no %s in the working directory: reading the data installed in %s\n",
                 command.c_str(), TLuaHandler::BLOCK_FILE_PATH, folder.string().c_str());
}
