// voxeltool's man page and bash completion, as the build made them, held to
// what `voxeltool --help` says: both are made from the same command line, and
// these tests keep it that way.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "tests/support/Process.h"
#include "tests/support/TempDir.h"
#include "tools/HelpPages.h"

namespace {

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

// Runs of white space as one space, none at the ends: the page is filled and
// wrapped, the help is not.
std::string Normalized(const std::string& text) {
  std::string out;
  for (const char c : text) {
    if (c == ' ' || c == '\n' || c == '\t') {
      if (!out.empty() && out.back() != ' ') out += ' ';
    } else {
      out += c;
    }
  }
  if (!out.empty() && out.back() == ' ') out.pop_back();
  return out;
}

std::string Help(const std::vector<std::string>& command) {
  std::vector<std::string> argv = {VX_VOXELTOOL};
  argv.insert(argv.end(), command.begin(), command.end());
  argv.push_back("--help");
  const TProcessResult result = RunProcess(argv, {});
  EXPECT_EQ(result.ExitCode, 0) << result.Describe();
  return result.Stdout;
}

// The commands that `voxeltool --help` lists.
std::vector<std::string> Commands(const std::string& help) {
  std::vector<std::string> commands;
  bool listing = false;
  for (const std::string& line : Lines(help)) {
    if (line == "Subcommands:") {
      listing = true;
    } else if (listing && line.rfind("  ", 0) == 0) {
      commands.push_back(Normalized(line).substr(0, Normalized(line).find(' ')));
    } else {
      listing = false;
    }
  }
  return commands;
}

// The page as man shows it, in plain ASCII (no bold by overstriking).
std::string RenderedPage() {
  const TProcessResult result = RunProcess(
      {VX_GROFF, "-man", "-Tascii", "-P-c", "-P-b", "-P-o", "-P-u", VX_VOXELTOOL_PAGE}, {});
  EXPECT_EQ(result.ExitCode, 0) << result.Describe();
  EXPECT_EQ(result.Stderr, "");
  return result.Stdout;
}

// The rendered text of each subsection (a command), by its heading.
std::map<std::string, std::string> Subsections(const std::string& page) {
  std::map<std::string, std::string> sections;
  const std::regex subsection("^   (\\S+)$");
  std::string* current = nullptr;
  for (const std::string& line : Lines(page)) {
    std::smatch heading;
    if (std::regex_match(line, heading, subsection)) {
      current = &sections[heading[1]];
    } else if (!line.empty() && line[0] != ' ') {
      current = nullptr;  // a section heading
    } else if (current) {
      *current += line + "\n";
    }
  }
  return sections;
}

// The lines of a help text that the page must hold: all but the headings of
// its lists, with the usage line's label left out.
std::vector<std::string> HelpLines(const std::string& help) {
  std::vector<std::string> lines;
  for (std::string line : Lines(help)) {
    if (std::regex_match(line, std::regex("[A-Z][a-z]+:")) || Normalized(line).empty()) continue;
    if (line.rfind("Usage: ", 0) == 0) line = line.substr(7);
    lines.push_back(Normalized(line));
  }
  return lines;
}

std::string FirstWord(const std::string& line) {
  return line.substr(0, line.find(' '));
}

TEST(HelpPagesTest, TheManPageSaysWhatHelpSays) {
  const std::string page = RenderedPage();
  const std::string help = Help({});
  const std::vector<std::string> commands = Commands(help);
  ASSERT_FALSE(commands.empty());
  const auto isCommand = [&](const std::string& word) {
    return std::find(commands.begin(), commands.end(), word) != commands.end();
  };
  // The tool's own lines anywhere; a command's summary in its section.
  for (const std::string& line : HelpLines(help)) {
    if (!isCommand(FirstWord(line))) {
      EXPECT_NE(Normalized(page).find(line), std::string::npos) << "not in the page: " << line;
    }
  }
  const std::map<std::string, std::string> sections = Subsections(page);
  std::set<std::string> shown;
  for (const auto& [name, text] : sections) shown.insert(name);
  EXPECT_EQ(shown, std::set<std::string>(commands.begin(), commands.end()));
  for (const std::string& command : commands) {
    if (!sections.count(command)) continue;
    const std::string section = Normalized(command + "\n" + sections.at(command));
    std::vector<std::string> lines = HelpLines(Help({command}));
    for (const std::string& line : HelpLines(help))
      if (FirstWord(line) == command) lines.push_back(line);
    for (const std::string& line : lines)
      EXPECT_NE(section.find(line), std::string::npos) << command << ": not in its page: " << line;
  }
}

TEST(HelpPagesTest, RoffTextKeepsEveryCharacterAsWritten) {
  const struct {
    const char* Text;
    const char* Roff;
  } cases[] = {
      {"--out FILE", "\\-\\-out FILE"},
      {"a\\b", "a\\eb"},
      {".hidden\n'quoted", "\\&.hidden\n\\&'quoted"},
      {"mid.dle it's", "mid.dle it's"},
  };
  for (const auto& c : cases) EXPECT_EQ(THelpPages::RoffText(c.Text), c.Roff) << c.Text;
}

// What the completion offers for a command line whose last word is being
// typed, in `folder`, sorted.
std::vector<std::string> Complete(const std::vector<std::string>& words,
                                  const std::string& folder) {
  std::vector<std::string> argv = {
      VX_BASH,
      "-c",
      "source \"$1\"; cd \"$2\"; shift 2; COMP_WORDS=(\"$@\"); COMP_CWORD=$(($# - 1)); "
      "_voxeltool; printf '%s\\n' \"${COMPREPLY[@]}\"",
      "bash",
      VX_VOXELTOOL_COMPLETION,
      folder};
  argv.insert(argv.end(), words.begin(), words.end());
  const TProcessResult result = RunProcess(argv, {});
  EXPECT_EQ(result.ExitCode, 0) << result.Describe();
  EXPECT_EQ(result.Stderr, "");
  std::vector<std::string> offered;
  for (const std::string& line : Lines(result.Stdout))
    if (!line.empty()) offered.push_back(line);
  std::sort(offered.begin(), offered.end());
  return offered;
}

TEST(HelpPagesTest, CompletionOffersCommandsOptionsAndFittingFiles) {
  TTempDir folder;
  folder.Write("a.png", "");
  folder.Write("b.txt", "");
  folder.Write("w.glb", "");
  std::filesystem::create_directory(folder.Path() / "sub");
  using TWords = std::vector<std::string>;
  const struct {
    const char* Name;
    TWords Words;
    TWords Offered;
  } cases[] = {
      {"every command",
       {"voxeltool", ""},
       {"--help", "-h", "atlas", "bench", "blocks", "digest", "export", "generate", "map", "shot"}},
      {"a command by its start", {"voxeltool", "ma"}, {"map"}},
      {"a command's options", {"voxeltool", "map", "--"}, {"--from", "--help", "--out", "--to"}},
      {"no option inside an option's values", {"voxeltool", "map", "--from", "1", ""}, {}},
      {"options again after the values",
       {"voxeltool", "map", "--from", "1", "2", "--o"},
       {"--out"}},
      {"PNG files for a picture", {"voxeltool", "map", "--out", ""}, {"a.png"}},
      {"glTF files for an export", {"voxeltool", "export", "--out", ""}, {"w.glb"}},
      {"folders for the atlases", {"voxeltool", "atlas", "--out", ""}, {"sub"}},
      {"no numbers made up", {"voxeltool", "shot", "--frames", ""}, {}},
      {"nothing for an unknown command", {"voxeltool", "nonsense", ""}, {}},
  };
  for (const auto& c : cases) EXPECT_EQ(Complete(c.Words, folder.Path()), c.Offered) << c.Name;
}

TEST(HelpPagesTest, CompletionOffersEveryOptionThatHelpLists) {
  const std::vector<std::string> commands = Commands(Help({}));
  ASSERT_FALSE(commands.empty());
  for (const std::string& command : commands) {
    const std::vector<std::string> offered = Complete({"voxeltool", command, "-"}, ".");
    for (const std::string& line : Lines(Help({command}))) {
      if (line.rfind("  -", 0) != 0) continue;
      std::istringstream names(Normalized(line).substr(0, Normalized(line).find(' ')));
      for (std::string name; std::getline(names, name, ',');)
        EXPECT_NE(std::find(offered.begin(), offered.end(), name), offered.end())
            << command << " " << name;
    }
  }
}

}  // namespace
