#include "blocks/LuaHandler.h"

extern "C" {
#include <lauxlib.h>
#include <lua.h>
#include <lualib.h>
}

#include <cmath>
#include <cstdint>
#include <limits>
#include <memory>
#include <string>

#include "blocks/BlockClass.h"
#include "platform/FatalError.h"

namespace {

// Stack offsets above the record of the values that LoadSingleBlock reads:
// the 1-based position of the key in BlockKeys.
constexpr int kFaces = 1;
constexpr int kTransparent = 2;
constexpr int kColliding = 3;
constexpr int kFlowing = 4;
constexpr int kTransparency = 5;
constexpr int kTransparentIndex = 6;
constexpr int kId = 7;
constexpr int kForceBorders = 9;
constexpr int kIsLight = 13;
constexpr int kLightRadius = 14;
constexpr int kLightR = 23;
constexpr int kLightG = 24;
constexpr int kLightB = 25;
constexpr int kMasked = 26;

constexpr const char* kFaceKeys[6] = {"Left", "Right", "Front", "Back", "Top", "Bottom"};
constexpr int kRecordValues = static_cast<int>(TLuaHandler::BlockKeys.size()) + 6;

[[noreturn]] void ScriptError(const std::string& what) {
  FatalError("Lua Error: " + what);
}

// The value at `index` as Lua would print it, or "" if it is neither a string
// nor a number. Keeps embedded zero bytes.
std::string MessageAt(lua_State* L, int index) {
  std::size_t length = 0;
  const char* text = lua_tolstring(L, index, &length);
  return text ? std::string(text, length) : std::string();
}

// Truncates toward zero. Values beyond the int32 range saturate and NaN gives
// 0, so no script value can make the conversion undefined.
std::int32_t TruncateToInt(double value) {
  if (std::isnan(value)) return 0;
  const double t = std::trunc(value);
  if (t <= static_cast<double>(std::numeric_limits<std::int32_t>::min()))
    return std::numeric_limits<std::int32_t>::min();
  if (t >= static_cast<double>(std::numeric_limits<std::int32_t>::max()))
    return std::numeric_limits<std::int32_t>::max();
  return static_cast<std::int32_t>(t);
}

float NumberAt(lua_State* L, int index) {
  return static_cast<float>(lua_tonumber(L, index));
}
std::int32_t FlagAt(lua_State* L, int index) {
  return lua_toboolean(L, index) ? 1 : 0;
}

// True if indexing the value at `index` cannot raise "attempt to index": a
// table, or a value whose metatable has __index (strings have one).
bool IsIndexable(lua_State* L, int index) {
  if (lua_istable(L, index)) return true;
  if (!luaL_getmetafield(L, index, "__index")) return false;
  lua_pop(L, 1);
  return true;
}

// Registers every value of the global Blocks. Runs under lua_cpcall, so a Lua
// error raised on the way (by a metamethod of a record, or out of memory) comes
// back to LoadAllBlocks instead of aborting the process.
int WalkBlocks(lua_State* L) {
  lua_settop(L, 0);  // drop the light userdata that lua_cpcall passes
  lua_getfield(L, LUA_GLOBALSINDEX, "Blocks");
  const int table = lua_gettop(L);
  if (!lua_istable(L, table))
    ScriptError(std::string("Blocks is not a table: ") + luaL_typename(L, table));
  lua_pushnil(L);
  while (lua_next(L, table) != 0) {
    TLuaHandler::LoadSingleBlock();
    lua_settop(L, -2);
  }
  lua_settop(L, -2);
  return 0;
}

}  // namespace

void TLuaHandler::Init() {
  LuaState = luaL_newstate();
  luaL_openlibs(LuaState);
  LoadAllBlocks();
}

void TLuaHandler::LoadAllBlocks() {
  lua_State* L = LuaState;
  lua_createtable(L, 0, 0);
  lua_setfield(L, LUA_GLOBALSINDEX, "Blocks");
  if (luaL_loadfile(L, BLOCK_FILE_PATH) != 0)
    ScriptError("Error while loading lua script:\n\"" + MessageAt(L, -1) + "\"");
  if (lua_pcall(L, 0, 0, 0) != 0)
    ScriptError("Error while executing lua script:\n\"" + MessageAt(L, -1) + "\"");
  if (lua_cpcall(L, WalkBlocks, nullptr) != 0) ScriptError(MessageAt(L, -1));
}

void TLuaHandler::LoadSingleBlock() {
  lua_State* L = LuaState;
  auto block = std::make_shared<TBlockClass>();
  const int r = lua_gettop(L);
  if (!lua_istable(L, r))
    ScriptError(std::string("Block record is not a table: ") + luaL_typename(L, r));

  luaL_checkstack(L, kRecordValues, "block record");
  for (const char* key : BlockKeys) lua_getfield(L, r, key);
  block->IsLight = FlagAt(L, r + kIsLight);

  // Report a record the faces cannot be read from by the ID it would get.
  const std::int32_t shownId = TruncateToInt(lua_tonumber(L, r + kId));
  if (lua_isnil(L, r + kFaces)) ScriptError("Block " + std::to_string(shownId) + " has no Faces");
  if (!IsIndexable(L, r + kFaces))
    ScriptError("Faces of block " + std::to_string(shownId) +
                " cannot be indexed: " + luaL_typename(L, r + kFaces));

  const int f = lua_gettop(L) + 1;
  for (const char* face : kFaceKeys) lua_getfield(L, r + kFaces, face);
  for (int i = 0; i < 6; ++i) block->FaceTexture[i] = TruncateToInt(lua_tonumber(L, f + i));

  if (block->IsLight != 0) {
    block->LightRadius = NumberAt(L, r + kLightRadius);
    block->LightR = NumberAt(L, r + kLightR);
    block->LightG = NumberAt(L, r + kLightG);
    block->LightB = NumberAt(L, r + kLightB);
  }
  block->Transparent = FlagAt(L, r + kTransparent);
  block->Colliding = FlagAt(L, r + kColliding);
  block->Flowing = FlagAt(L, r + kFlowing);
  block->Masked = FlagAt(L, r + kMasked);
  if (block->Transparent != 0 || block->Masked != 0) {
    if (!lua_isnil(L, r + kTransparency))
      block->Transparency = static_cast<float>(lua_tonumber(L, r + kTransparency) * 0.5);
    if (!lua_isnil(L, r + kTransparentIndex))
      block->TransparentIndex = TruncateToInt(-lua_tonumber(L, r + kTransparentIndex) - 1.0);
  }

  // The range is checked on the truncated number itself, so a huge or NaN ID
  // is refused rather than saturated into a valid slot.
  const double id = std::trunc(lua_tonumber(L, r + kId));
  block->ID = TruncateToInt(id);
  block->ForceBorders = FlagAt(L, r + kForceBorders);
  lua_settop(L, r);

  if (!(id >= 0.0 && id < TBlockClass::MAX_BLOCK_COUNT)) {
    // Lua's own number format; NaN spelt one way whatever its sign bit.
    if (std::isnan(id)) ScriptError("Block ID out of range: nan");
    lua_pushfstring(L, "Block ID out of range: %f", id);
    ScriptError(MessageAt(L, -1));
  }
  std::shared_ptr<TBlockClass>& slot = TBlockClass::BlockClasses[block->ID];
  if (slot) ScriptError("Duplicate block ID: " + std::to_string(block->ID));
  slot = block;
  block->InitFields();
}
