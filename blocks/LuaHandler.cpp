#include "blocks/LuaHandler.h"

extern "C" {
#include <lauxlib.h>
#include <lua.h>
#include <lualib.h>
}

#include <array>
#include <cmath>
#include <cstdint>
#include <limits>
#include <memory>
#include <string>

#include "blocks/BlockClass.h"
#include "blocks/DataFolder.h"
#include "platform/FatalError.h"

namespace {

// Stack offsets above the record of the values that LoadRecord reads: the
// 1-based position of the key in BlockKeys.
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

// The script's fields of one record, read before any block class exists: a
// TBlockClass cannot stand in for it, since it has a (virtual) destructor and a
// Lua error may longjmp out of the frame that holds the record.
struct TRecord {
  std::array<std::int32_t, 6> FaceTexture{};
  std::int32_t IsLight = 0;
  float LightRadius = 0.0f, LightR = 0.0f, LightG = 0.0f, LightB = 0.0f;
  std::int32_t Transparent = 0, Colliding = 0, Flowing = 0, Masked = 0, ForceBorders = 0;
  float Transparency = 0.0f;
  std::int32_t TransparentIndex = 0;
  double Id = 0.0;  // truncated toward zero, range not yet checked
};

// Registers the record on top of the stack and leaves the stack as it was. A
// bad record, or an error raised by a metamethod while it is read, unwinds by
// longjmp to the protected call: until the record has passed every check, no
// object with a destructor lives in this frame (luaL_error's position prefix
// is empty when raised from a C function).
void LoadRecord(lua_State* L) {
  const int r = lua_gettop(L);
  if (!lua_istable(L, r)) luaL_error(L, "Block record is not a table: %s", luaL_typename(L, r));

  luaL_checkstack(L, kRecordValues, "block record");
  for (const char* key : TLuaHandler::BlockKeys) lua_getfield(L, r, key);
  TRecord record;
  record.IsLight = FlagAt(L, r + kIsLight);

  // Report a record the faces cannot be read from by the ID it would get.
  const int shownId = TruncateToInt(lua_tonumber(L, r + kId));
  if (lua_isnil(L, r + kFaces)) luaL_error(L, "Block %d has no Faces", shownId);
  if (!IsIndexable(L, r + kFaces))
    luaL_error(L, "Faces of block %d cannot be indexed: %s", shownId, luaL_typename(L, r + kFaces));

  const int f = lua_gettop(L) + 1;
  for (const char* face : kFaceKeys) lua_getfield(L, r + kFaces, face);
  for (int i = 0; i < 6; ++i) record.FaceTexture[i] = TruncateToInt(lua_tonumber(L, f + i));

  if (record.IsLight != 0) {
    record.LightRadius = NumberAt(L, r + kLightRadius);
    record.LightR = NumberAt(L, r + kLightR);
    record.LightG = NumberAt(L, r + kLightG);
    record.LightB = NumberAt(L, r + kLightB);
  }
  record.Transparent = FlagAt(L, r + kTransparent);
  record.Colliding = FlagAt(L, r + kColliding);
  record.Flowing = FlagAt(L, r + kFlowing);
  record.Masked = FlagAt(L, r + kMasked);
  if (record.Transparent != 0 || record.Masked != 0) {
    if (!lua_isnil(L, r + kTransparency))
      record.Transparency = static_cast<float>(lua_tonumber(L, r + kTransparency) * 0.5);
    if (!lua_isnil(L, r + kTransparentIndex))
      record.TransparentIndex = TruncateToInt(-lua_tonumber(L, r + kTransparentIndex) - 1.0);
  }
  record.Id = std::trunc(lua_tonumber(L, r + kId));
  record.ForceBorders = FlagAt(L, r + kForceBorders);
  lua_settop(L, r);

  // The range is checked on the truncated number itself, so a huge or NaN ID
  // is refused rather than saturated into a valid slot.
  if (!(record.Id >= 0.0 && record.Id < TBlockClass::MAX_BLOCK_COUNT)) {
    // Lua's own number format; NaN spelt one way whatever its sign bit.
    if (std::isnan(record.Id)) luaL_error(L, "Block ID out of range: nan");
    luaL_error(L, "Block ID out of range: %f", record.Id);
  }
  const int id = static_cast<int>(record.Id);
  if (TBlockClass::BlockClasses[id]) luaL_error(L, "Duplicate block ID: %d", id);

  // No Lua call from here on.
  auto block = std::make_shared<TBlockClass>();
  block->ID = id;
  block->FaceTexture = record.FaceTexture;
  block->IsLight = record.IsLight;
  block->LightRadius = record.LightRadius;
  block->LightR = record.LightR;
  block->LightG = record.LightG;
  block->LightB = record.LightB;
  block->Transparent = record.Transparent;
  block->Colliding = record.Colliding;
  block->Flowing = record.Flowing;
  block->Masked = record.Masked;
  block->Transparency = record.Transparency;
  block->TransparentIndex = record.TransparentIndex;
  block->ForceBorders = record.ForceBorders;
  TBlockClass::BlockClasses[id] = block;
  block->InitFields();
}

// Registers every value of the global Blocks, under lua_cpcall.
int WalkBlocks(lua_State* L) {
  lua_settop(L, 0);  // drop the light userdata that lua_cpcall passes
  lua_getfield(L, LUA_GLOBALSINDEX, "Blocks");
  const int table = lua_gettop(L);
  if (!lua_istable(L, table)) luaL_error(L, "Blocks is not a table: %s", luaL_typename(L, table));
  lua_pushnil(L);
  while (lua_next(L, table) != 0) {
    LoadRecord(L);
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
  if (luaL_loadfile(L, TDataFolder::PathOf(BLOCK_FILE_PATH).c_str()) != 0)
    FatalError("Lua Error: Error while loading lua script:\n\"" + MessageAt(L, -1) + "\"");
  if (lua_pcall(L, 0, 0, 0) != 0)
    FatalError("Lua Error: Error while executing lua script:\n\"" + MessageAt(L, -1) + "\"");
  const std::string error = LoadRecords(L);
  if (!error.empty()) FatalError(error);
}

std::string TLuaHandler::LoadRecords(lua_State* L) {
  const int top = lua_gettop(L);
  if (lua_cpcall(L, WalkBlocks, nullptr) == 0) return {};
  const std::string message = "Lua Error: " + MessageAt(L, -1);
  lua_settop(L, top);
  return message;
}

void TLuaHandler::LoadSingleBlock() {
  LoadRecord(LuaState);
}
