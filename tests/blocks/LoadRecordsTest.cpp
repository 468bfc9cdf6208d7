// The loader's entry that reads records from a state the script has already
// run in: it reports a bad record as text and leaves the state usable, so the
// caller decides how to end.
#include <gtest/gtest.h>

extern "C" {
#include <lauxlib.h>
#include <lua.h>
#include <lualib.h>
}

#include <string>
#include <vector>

#include "blocks/BlockClass.h"
#include "blocks/LuaHandler.h"

namespace {

struct TRecordsCase {
  const char* Name;
  const char* Script;
  std::string Error;     // "" when every record loads
  std::vector<int> Ids;  // registered afterwards, ascending
};

const TRecordsCase kCases[] = {
    {"every record loads",
     "Blocks = { { ID = 2, Faces = {} }, { ID = 1, Faces = {} } }",
     "",
     {1, 2}},
    {"records before a bad one stay registered",
     "Blocks = { { ID = 3, Faces = {} } }; Blocks[2] = { ID = 4 }",
     "Block 4 has no Faces",
     {3}},
    {"an error raised while a record is read is returned",
     "Blocks[1] = setmetatable({}, { __index = function(t, k) error('no ' .. k, 0) end })",
     "no Faces",
     {}},
    {"a metamethod that recurses without end is stopped by Lua",
     "local m = {}; m.__index = function(t, k) return t[k] end\n"
     "Blocks[1] = setmetatable({}, m)",
     "stack overflow",
     {}},
};

TEST(LoadRecords, ReturnsTheMessageAndLeavesTheStackAsItWas) {
  for (const TRecordsCase& c : kCases) {
    SCOPED_TRACE(c.Name);
    TBlockClass::BlockClasses.fill(nullptr);
    lua_State* L = luaL_newstate();
    luaL_openlibs(L);
    lua_newtable(L);
    lua_setglobal(L, "Blocks");
    ASSERT_EQ(luaL_dostring(L, c.Script), 0) << lua_tostring(L, -1);
    lua_pushinteger(L, 77);  // something of the caller's on the stack
    const std::string error = TLuaHandler::LoadRecords(L);
    if (c.Error.empty()) {
      EXPECT_EQ(error, "");
    } else {
      EXPECT_EQ(error.rfind("Lua Error: ", 0), 0u) << error;
      EXPECT_NE(error.find(c.Error), std::string::npos) << error;
    }
    ASSERT_EQ(lua_gettop(L), 1);
    EXPECT_EQ(lua_tointeger(L, 1), 77);
    std::vector<int> ids;
    for (int id = 0; id < TBlockClass::MAX_BLOCK_COUNT; ++id)
      if (TBlockClass::BlockClasses[id]) ids.push_back(id);
    EXPECT_EQ(ids, c.Ids);
    lua_close(L);
  }
  TBlockClass::BlockClasses.fill(nullptr);
}

}  // namespace
