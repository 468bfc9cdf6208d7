// Runs `voxeltool blocks` on small scripts: it loads ./Blocks.lua exactly as
// the viewer does at start-up and prints every registered block class.
#include <gtest/gtest.h>

#include <map>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "tests/support/Process.h"
#include "tests/support/TempDir.h"

namespace {

using TFields = std::map<std::string, std::string>;

struct TLoad {
  TProcessResult Result;
  std::map<int, TFields> Blocks;  // by ID, as listed
};

TLoad LoadScript(const std::optional<std::string>& script) {
  TTempDir dir;
  if (script) dir.Write("Blocks.lua", *script);
  TProcessOptions options;
  options.WorkingDirectory = dir.Path().string();
  options.TimeoutSeconds = 30;
  TLoad load;
  load.Result = RunProcess({VX_VOXELTOOL, "blocks"}, options);
  std::istringstream lines(load.Result.Stdout);
  for (std::string line; std::getline(lines, line);) {
    TFields fields;
    std::istringstream words(line);
    for (std::string word; words >> word;) {
      const std::size_t eq = word.find('=');
      fields[word.substr(0, eq)] = eq == std::string::npos ? "" : word.substr(eq + 1);
    }
    load.Blocks[std::stoi(fields["ID"])] = fields;
  }
  return load;
}

struct TField {
  int Id;
  const char* Name;
  const char* Value;
};

struct TLoadCase {
  const char* Name;
  const char* Script;
  std::vector<int> Ids;  // every ID listed, ascending
  std::vector<TField> Fields;
};

const TLoadCase kLoadCases[] = {
    {"an ID given as a string is converted", R"(Blocks[1] = { ID = "7", Faces = {} })", {7}, {}},
    {"fractional IDs are truncated toward zero",
     R"(Blocks = { { ID = 3.9, Faces = {} }, { ID = -0.9, Faces = {} } })",
     {0, 3},
     {}},
    {"a record without ID goes under 0", R"(table.insert(Blocks, { Faces = {} }))", {0}, {}},
    {"IDs at both ends of the registry",
     R"(Blocks = { { ID = 0, Faces = {} }, { ID = 1023, Faces = {} } })",
     {0, 1023},
     {}},
    {"a missing face gets tile 0, left of tile 1",
     R"(Blocks[1] = { ID = 1, Faces = { Left = 1, Right = 2, Front = 3, Back = 4, Bottom = 17 } })",
     {1},
     {{1, "FaceTexture", "1,2,3,4,0,17"},
      {1, "FaceU", "0,0.0625,0.125,0.1875,-0.0625,0"},
      {1, "FaceV", "0,0,0,0,0,0.0625"}}},
    {"faces given as numeric strings are converted, others read as 0",
     R"(Blocks[1] = { ID = 1, Faces = { Left = "17", Right = "2.9", Top = "grass", Bottom = {} } })",
     {1},
     {{1, "FaceTexture", "17,2,0,0,0,0"}}},
    {"a string can be indexed, so Faces as a string gives no faces",
     R"(Blocks[1] = { ID = 1, Faces = "stone" })",
     {1},
     {{1, "FaceTexture", "0,0,0,0,0,0"}}},
    {"the number 0 is true, so Transparent = 0 makes the block see-through",
     R"(Blocks[1] = { ID = 1, Faces = {}, Transparent = 0 })",
     {1},
     {{1, "Transparent", "1"}, {1, "IsSolidBlock", "0"}}},
    {"flags follow Lua truth",
     R"(Blocks[1] = { ID = 1, Faces = {}, Colliding = 1, Flowing = "no", ForceBorders = false })",
     {1},
     {{1, "Colliding", "1"},
      {1, "Flowing", "1"},
      {1, "ForceBorders", "0"},
      {1, "Masked", "0"},
      {1, "IsSolidBlock", "1"}}},
    {"TransparentIndex is read for transparent and masked blocks only",
     R"(Blocks = {
          { ID = 1, Faces = {}, Transparent = true, TransparentIndex = 2 },
          { ID = 2, Faces = {}, TransparentIndex = 2 },
          { ID = 3, Faces = {}, Masked = true, TransparentIndex = 2 },
          { ID = 4, Faces = {}, Transparent = true, TransparentIndex = 2.7 },
        })",
     {1, 2, 3, 4},
     {{1, "TransparentIndex", "-3"},
      {2, "TransparentIndex", "0"},
      {3, "TransparentIndex", "-1"},
      {3, "IsSolidBlock", "0"},
      {4, "TransparentIndex", "-3"}}},
    {"Transparency is halved, and read for transparent and masked blocks only",
     R"(Blocks = {
          { ID = 1, Faces = {}, Transparent = true, Transparency = 1 },
          { ID = 2, Faces = {}, Transparency = 1 },
          { ID = 3, Faces = {}, Masked = true, Transparency = "0.5" },
        })",
     {1, 2, 3},
     {{1, "Transparency", "0.5"}, {2, "Transparency", "0"}, {3, "Transparency", "0.25"}}},
    {"light values are read only for lights",
     R"(Blocks = {
          { ID = 1, Faces = {}, IsLight = false, LightRadius = 8, LightR = 255 },
          { ID = 2, Faces = {}, IsLight = true, LightRadius = 8, LightR = 200, LightG = "100",
            LightB = "blue" },
        })",
     {1, 2},
     {{1, "IsLight", "0"},
      {1, "LightRadius", "0"},
      {1, "InvLightRadius", "inf"},
      {1, "LightR", "0"},
      {2, "IsLight", "1"},
      {2, "LightRadius", "8"},
      {2, "InvLightRadius", "0.125"},
      {2, "LightR", "200"},
      {2, "LightG", "100"},
      {2, "LightB", "0"}}},
    {"keys of any type, and keys the loader ignores",
     R"(Blocks[1] = { ID = 1, Faces = {} }
        Blocks.stone = { ID = 2, Faces = {}, Gravity = {}, ModelPath = 5, MinimapColorR = "red" }
        Blocks[true] = { ID = 3, Faces = {} }
        Blocks[2.5] = { ID = 4, Faces = {} }
        Blocks[{}] = { ID = 5, Faces = {} })",
     {1, 2, 3, 4, 5},
     {}},
    {"an empty Blocks loads nothing", "-- no blocks", {}, {}},
    {"the script may replace Blocks with a table of its own",
     R"(Blocks = { { ID = 9, Faces = {} } })",
     {9},
     {}},
};

TEST(BlockScriptTest, RecordsLoadAsTheirFormatSays) {
  for (const TLoadCase& c : kLoadCases) {
    SCOPED_TRACE(c.Name);
    const TLoad load = LoadScript(c.Script);
    ASSERT_EQ(load.Result.ExitCode, 0) << load.Result.Stderr;
    EXPECT_EQ(load.Result.Stderr, "");
    std::vector<int> ids;
    for (const auto& [id, fields] : load.Blocks) ids.push_back(id);
    EXPECT_EQ(ids, c.Ids);
    for (const TField& field : c.Fields) {
      const auto block = load.Blocks.find(field.Id);
      ASSERT_NE(block, load.Blocks.end()) << "ID " << field.Id;
      const auto value = block->second.find(field.Name);
      ASSERT_NE(value, block->second.end()) << field.Name;
      EXPECT_EQ(value->second, field.Value) << "ID " << field.Id << " " << field.Name;
    }
  }
}

TEST(BlockScriptTest, EveryFieldIsListedInOrder) {
  const TLoad load = LoadScript(R"(Blocks[1] = { ID = 12, Faces = { Left = 1, Right = 2,
      Front = 3, Back = 4, Top = 5, Bottom = 6 }, Colliding = true })");
  ASSERT_EQ(load.Result.ExitCode, 0);
  EXPECT_EQ(load.Result.Stdout,
            "ID=12 FaceTexture=1,2,3,4,5,6 FaceU=0,0.0625,0.125,0.1875,0.25,0.3125 "
            "FaceV=0,0,0,0,0,0 IsSolidBlock=1 IsLight=0 Masked=0 Transparent=0 Colliding=1 "
            "Flowing=0 TransparentIndex=0 Transparency=0 LightRadius=0 InvLightRadius=inf "
            "LightR=0 LightG=0 LightB=0 ForceBorders=0\n");
}

struct TErrorCase {
  const char* Name;
  std::optional<std::string> Script;  // nullopt: no Blocks.lua at all
  std::string Stderr;
};

const TErrorCase kErrorCases[] = {
    {"missing file", std::nullopt,
     "Lua Error: Error while loading lua script:\n"
     "\"cannot open Blocks.lua: No such file or directory\""},
    {"syntax error", "Blocks = {\nx = = 1",
     "Lua Error: Error while loading lua script:\n"
     "\"Blocks.lua:2: unexpected symbol near '='\""},
    {"run-time error", "local a = 1\nerror(\"no more blocks\")",
     "Lua Error: Error while executing lua script:\n\"Blocks.lua:2: no more blocks\""},
    {"run-time error that is not a string", "error({})",
     "Lua Error: Error while executing lua script:\n\"\""},
    {"duplicate ID", "Blocks = { { ID = 5, Faces = {} }, { ID = 5.5, Faces = {} } }",
     "Lua Error: Duplicate block ID: 5"},
    {"record that is not a table", "Blocks = { 5 }",
     "Lua Error: Block record is not a table: number"},
    {"record that is a string", "Blocks = { \"stone\" }",
     "Lua Error: Block record is not a table: string"},
    {"record without Faces", "Blocks = { { ID = 4 } }", "Lua Error: Block 4 has no Faces"},
    {"Faces that cannot be indexed", "Blocks = { { ID = 4, Faces = 12 } }",
     "Lua Error: Faces of block 4 cannot be indexed: number"},
    {"Faces = false", "Blocks = { { Faces = false } }",
     "Lua Error: Faces of block 0 cannot be indexed: boolean"},
    {"Blocks replaced by a number", "Blocks = 3", "Lua Error: Blocks is not a table: number"},
    {"Blocks removed", "Blocks = nil", "Lua Error: Blocks is not a table: nil"},
    {"negative ID", "Blocks = { { ID = -1, Faces = {} } }", "Lua Error: Block ID out of range: -1"},
    {"ID past the registry", "Blocks = { { ID = 1024, Faces = {} } }",
     "Lua Error: Block ID out of range: 1024"},
    {"huge ID", "Blocks = { { ID = 1e300, Faces = {} } }",
     "Lua Error: Block ID out of range: 1e+300"},
    {"ID not a number", "Blocks = { { ID = 0/0, Faces = {} } }",
     "Lua Error: Block ID out of range: nan"},
    {"error raised while a record is read",
     "Blocks = { setmetatable({}, { __index = function(t, k) error(\"no \" .. k, 0) end }) }",
     "Lua Error: no Faces"},
};

TEST(BlockScriptTest, ScriptErrorsEndTheLoadWithTheirMessage) {
  for (const TErrorCase& c : kErrorCases) {
    SCOPED_TRACE(c.Name);
    const TLoad load = LoadScript(c.Script);
    EXPECT_EQ(load.Result.Signal, 0);
    EXPECT_EQ(load.Result.ExitCode, 255);
    EXPECT_EQ(load.Result.Stderr, c.Stderr);
    EXPECT_EQ(load.Result.Stdout, "");
  }
}

}  // namespace
