// voxeltool blocks: runs Blocks.lua the way the viewer does at start-up and
// lists the block classes it registers, one line per class in ascending ID:
//
//   ID=<int> FaceTexture=<6 ints> FaceU=<6 floats> FaceV=<6 floats>
//   IsSolidBlock=<0|1> IsLight=<0|1> Masked=<0|1> Transparent=<0|1>
//   Colliding=<0|1> Flowing=<0|1> TransparentIndex=<int> Transparency=<float>
//   LightRadius=<float> InvLightRadius=<float> LightR=<float> LightG=<float>
//   LightB=<float> ForceBorders=<0|1>
//
// all on one line, fields separated by one space, list items by commas without
// spaces. Floats are printed with "%.9g" (enough digits to read back the exact
// single-precision value; "inf" for infinity). A script error ends the command
// exactly as it ends the viewer: the message on standard error, status 255 and
// nothing on standard output.
#include <CLI/CLI.hpp>

#include <array>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <type_traits>
#include <vector>

#include "blocks/BlockClass.h"
#include "blocks/LuaHandler.h"
#include "tools/Commands.h"
#include "tools/DataPack.h"

namespace {

void AppendFloat(std::string& line, float value) {
  char text[32];
  std::snprintf(text, sizeof text, "%.9g", static_cast<double>(value));
  line += text;
}

template <typename T>
void AppendList(std::string& line, const char* name, const std::array<T, 6>& values) {
  line += ' ';
  line += name;
  line += '=';
  for (std::size_t i = 0; i < values.size(); ++i) {
    if (i > 0) line += ',';
    if constexpr (std::is_same_v<T, float>) {
      AppendFloat(line, values[i]);
    } else {
      line += std::to_string(values[i]);
    }
  }
}

void AppendInt(std::string& line, const char* name, std::int32_t value) {
  line += ' ';
  line += name;
  line += '=';
  line += std::to_string(value);
}

void AppendFloatField(std::string& line, const char* name, float value) {
  line += ' ';
  line += name;
  line += '=';
  AppendFloat(line, value);
}

std::string DescribeBlock(const TBlockClass& block) {
  std::string line = "ID=" + std::to_string(block.ID);
  AppendList(line, "FaceTexture", block.FaceTexture);
  AppendList(line, "FaceU", block.FaceU);
  AppendList(line, "FaceV", block.FaceV);
  AppendInt(line, "IsSolidBlock", block.IsSolidBlock);
  AppendInt(line, "IsLight", block.IsLight);
  AppendInt(line, "Masked", block.Masked);
  AppendInt(line, "Transparent", block.Transparent);
  AppendInt(line, "Colliding", block.Colliding);
  AppendInt(line, "Flowing", block.Flowing);
  AppendInt(line, "TransparentIndex", block.TransparentIndex);
  AppendFloatField(line, "Transparency", block.Transparency);
  AppendFloatField(line, "LightRadius", block.LightRadius);
  AppendFloatField(line, "InvLightRadius", block.InvLightRadius);
  AppendFloatField(line, "LightR", block.LightR);
  AppendFloatField(line, "LightG", block.LightG);
  AppendFloatField(line, "LightB", block.LightB);
  AppendInt(line, "ForceBorders", block.ForceBorders);
  return line;
}

int RunBlocks() {
  TDataPack::Use("voxeltool blocks");
  TLuaHandler::Init();
  for (const std::shared_ptr<TBlockClass>& block : TBlockClass::BlockClasses) {
    if (block) std::printf("%s\n", DescribeBlock(*block).c_str());
  }
  return 0;
}

}  // namespace

void AddBlocksCommand(CLI::App& tool, int& status) {
  CLI::App* command = tool.add_subcommand("blocks", "check Blocks.lua and list its block classes");
  command->footer(
      "Runs Blocks.lua as the viewer does at start-up and prints one line per block class\n"
      "with all its values. A script error ends it as it ends the viewer: the message on\n"
      "standard error, status 255. Without a Blocks.lua in the working directory it checks\n"
      "the installed one, and says so on standard error.");
  command->callback([&status] { status = RunBlocks(); });
}
