#pragma once

#include <array>
#include <string>

struct lua_State;

// Runs the block script once at start-up and fills TBlockClass::BlockClasses
// from the records of its global table Blocks. Script errors are fatal: the
// message goes to standard error and the program exits with status -1.
class TLuaHandler {
 public:
  static constexpr const char* BLOCK_FILE_PATH = "Blocks.lua";

  // The keys fetched from every record, in fetch order: the value of the key at
  // position p (1-based) lands p slots above the record on the Lua stack. Four
  // keys a line, so positions can be counted.
  // clang-format off
  static constexpr std::array<const char*, 29> BlockKeys = {
      "Faces",            "Transparent",      "Colliding",     "Flowing",
      "Transparency",     "TransparentIndex", "ID",            "DisplayImage",
      "ForceBorders",     "Gravity",          "IsObject",      "ModelPath",
      "IsLight",          "LightRadius",      "DestroyImage",  "IsTrigger",
      "TriggeredOnTouch", "TriggeredBlock",   "ReplaceWith",   "TriggeredOnAction",
      "ReplaceBlocks",    "AdjustToNormal",   "LightR",        "LightG",
      "LightB",           "Masked",           "MinimapColorR", "MinimapColorG",
      "MinimapColorB"};
  // clang-format on

  // Opened by Init and kept open until the program ends.
  static inline lua_State* LuaState = nullptr;

  // A fresh state with the standard libraries, then LoadAllBlocks.
  static void Init();
  // Runs BLOCK_FILE_PATH (in TDataFolder) and registers every record of Blocks.
  static void LoadAllBlocks();
  // Registers every record of the global Blocks of `L`, a state the script has
  // already run in. Returns the fatal message ("Lua Error: ..."), or "" when
  // every record loaded; the stack is as it was either way. Records registered
  // before a bad one stay registered.
  static std::string LoadRecords(lua_State* L);
  // Registers the record on top of LuaState's stack; the stack is unchanged on
  // return. A bad record raises a Lua error, so call it inside a protected call.
  static void LoadSingleBlock();
};
