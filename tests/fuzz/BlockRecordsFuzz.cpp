// Feeds the block-record loader Lua values built from the input, in a state
// without the os and io libraries. The input is a small program of one-byte
// operations on a value stack; the global Blocks starts as an empty table, as
// it does before a script runs.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" {
#include <lauxlib.h>
#include <lua.h>
#include <lualib.h>
}

#include "blocks/BlockClass.h"
#include "blocks/LuaHandler.h"
#include "tests/fuzz/FuzzInput.h"

namespace {

// Values a script could hand the loader where it expects data or metamethods.
constexpr const char* kFunctions = R"(return {
  function(t, k) error("no " .. tostring(k), 0) end,
  function(t, k) error({}) end,
  function(t, k) error() end,
  function(t, k) return 7 end,
  function(t, k) return k end,
  function(t, k) return t end,
  function(t, k) return t[k] end,
  function(t, k) for key in pairs(Blocks) do Blocks[key] = nil end end,
  function(t, k) Blocks[#Blocks + 1] = { ID = #Blocks, Faces = {} } end,
  function(t, k) collectgarbage() end,
  function(t, k) Blocks = nil end,
  function(t, k) return string.rep(tostring(k), 1000) end,
  function(t, k) return 0 / 0 end,
  function(t, k) return coroutine.wrap(function() error("in a coroutine") end)() end,
  function(t, k) return setmetatable({}, getmetatable(t)) end,
})";

constexpr int kMaxStack = 48;

const char* KnownKey(std::uint8_t n) {
  static constexpr const char* kExtra[] = {"Left",   "Right",  "Front",   "Back",       "Top",
                                           "Bottom", "Blocks", "__index", "__metatable"};
  constexpr std::size_t keys = TLuaHandler::BlockKeys.size();
  const std::size_t i = n % (keys + std::size(kExtra));
  return i < keys ? TLuaHandler::BlockKeys[i] : kExtra[i - keys];
}

bool IsValidKey(lua_State* L, int index) {
  if (lua_isnil(L, index)) return false;
  if (lua_type(L, index) == LUA_TNUMBER) {
    const double n = lua_tonumber(L, index);
    return n == n;
  }
  return true;
}

// Runs the input's operations. Under lua_cpcall: a Lua error here only ends
// the building early.
int Build(lua_State* L) {
  TFuzzInput& in = *static_cast<TFuzzInput*>(lua_touserdata(L, 1));
  lua_settop(L, 0);
  if (luaL_loadstring(L, kFunctions) != 0) return lua_error(L);
  lua_call(L, 0, 1);
  const int functions = lua_gettop(L);
  const int base = functions;
  lua_createtable(L, 0, 0);
  lua_setfield(L, LUA_GLOBALSINDEX, "Blocks");

  while (!in.Done()) {
    if (lua_gettop(L) - base >= kMaxStack) lua_settop(L, base + kMaxStack / 2);
    const int depth = lua_gettop(L) - base;
    lua_checkstack(L, 8);
    switch (in.Byte() % 18) {
      case 0:
        lua_pushnil(L);
        break;
      case 1:
        lua_pushboolean(L, in.Byte() & 1);
        break;
      case 2:
        lua_pushnumber(L, static_cast<std::int8_t>(in.Byte()));
        break;
      case 3:
        lua_pushnumber(L, static_cast<std::int16_t>(in.Word()));
        break;
      case 4:
        lua_pushnumber(L, in.Double());
        break;
      case 5:
        lua_pushstring(L, KnownKey(in.Byte()));
        break;
      case 6: {
        char text[16];
        const std::size_t length = in.Byte() % sizeof text;
        for (std::size_t i = 0; i < length; ++i) text[i] = static_cast<char>(in.Byte());
        lua_pushlstring(L, text, length);
        break;
      }
      case 7:
        lua_createtable(L, 0, 0);
        break;
      case 8:  // [t, k, v] -> t with t[k] = v, raw so no metamethod runs here
        if (depth >= 3 && lua_istable(L, -3) && IsValidKey(L, -2))
          lua_rawset(L, -3);
        else if (depth >= 2)
          lua_pop(L, 2);
        break;
      case 9:  // v -> appended to Blocks
        if (depth >= 1) {
          lua_getfield(L, LUA_GLOBALSINDEX, "Blocks");
          if (lua_istable(L, -1)) {
            lua_insert(L, -2);
            lua_rawseti(L, -2, static_cast<int>(lua_objlen(L, -2)) + 1);
          }
          lua_settop(L, base + depth - 1);
        }
        break;
      case 10:  // v -> becomes Blocks
        if (depth >= 1) lua_setfield(L, LUA_GLOBALSINDEX, "Blocks");
        break;
      case 11:
        lua_rawgeti(L, functions, 1 + in.Byte() % 15);
        break;
      case 12:  // [v, mt] -> v with metatable mt (for a number or string: that of its type)
        if (depth >= 2 && (lua_istable(L, -1) || lua_isnil(L, -1)))
          lua_setmetatable(L, -2);
        else if (depth >= 1)
          lua_pop(L, 1);
        break;
      case 13:
        if (depth >= 1) lua_pushvalue(L, -1 - in.Byte() % depth);
        break;
      case 14:
        if (depth >= 1) lua_pop(L, 1);
        break;
      case 15: {  // a well-formed record, so deeper paths are reached quickly
        lua_createtable(L, 0, 2);
        lua_pushnumber(L, static_cast<std::int16_t>(in.Word()));
        lua_setfield(L, -2, "ID");
        lua_createtable(L, 0, 6);
        for (int face = 0; face < 6; ++face) {
          lua_pushnumber(L, in.Byte());
          lua_setfield(L, -2,
                       KnownKey(static_cast<std::uint8_t>(TLuaHandler::BlockKeys.size() + face)));
        }
        lua_setfield(L, -2, "Faces");
        break;
      }
      case 16:
        lua_newuserdata(L, 1);
        break;
      case 17:
        lua_getfield(L, LUA_GLOBALSINDEX, "Blocks");
        break;
    }
  }
  return 0;
}

void Check(bool condition) {
  if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  lua_State* L = luaL_newstate();
  for (lua_CFunction open : {luaopen_base, luaopen_table, luaopen_string, luaopen_math}) {
    lua_pushcfunction(L, open);
    lua_call(L, 0, 0);
  }
  TFuzzInput in(data, size);
  lua_cpcall(L, Build, &in);
  lua_settop(L, 0);

  const std::string error = TLuaHandler::LoadRecords(L);
  Check(lua_gettop(L) == 0);
  Check(error.empty() || error.rfind("Lua Error: ", 0) == 0);
  for (int id = 0; id < TBlockClass::MAX_BLOCK_COUNT; ++id) {
    const auto& block = TBlockClass::BlockClasses[id];
    if (!block) continue;
    Check(block->ID == id);
    Check(block->IsSolidBlock == (block->Transparent == 0 && block->Masked == 0 ? 1 : 0));
  }

  TBlockClass::BlockClasses.fill(nullptr);
  lua_close(L);
  return 0;
}
