#include "tools/HelpPages.h"

#include <CLI/CLI.hpp>

#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

// The formatter that --help uses, so that every piece of text is the one it prints.
std::shared_ptr<CLI::Formatter> FormatterOf(const CLI::App& tool) {
  auto formatter = std::dynamic_pointer_cast<CLI::Formatter>(tool.get_formatter());
  return formatter ? formatter : std::make_shared<CLI::Formatter>();
}

std::string Trimmed(const std::string& text) {
  const std::size_t first = text.find_first_not_of(" \n");
  if (first == std::string::npos) return "";
  return text.substr(first, text.find_last_not_of(" \n") - first + 1);
}

// "Usage: voxeltool map [OPTIONS]" without its label, the program's name in bold.
std::string Synopsis(const CLI::Formatter& formatter, const CLI::App& app,
                     const std::string& name) {
  std::string usage = Trimmed(formatter.make_usage(&app, name));
  const std::string label = "Usage: " + name;
  if (usage.compare(0, label.size(), label) != 0)
    throw std::logic_error("unexpected usage line: " + usage);
  return "\\fB" + THelpPages::RoffText(name) + "\\fR" +
         THelpPages::RoffText(usage.substr(label.size())) + "\n";
}

std::vector<const CLI::Option*> ShownOptions(const CLI::App& app) {
  // An option in no group is hidden from --help, and so from the page.
  return app.get_options([](const CLI::Option* option) { return !option->get_group().empty(); });
}

// One tagged paragraph per option, as --help lists them: name, value names
// and default, then the description.
std::string OptionList(const CLI::Formatter& formatter, const CLI::App& app) {
  std::string roff;
  for (const CLI::Option* option : ShownOptions(app)) {
    const bool positional = !option->nonpositional();
    roff += ".TP\n\\fB" + THelpPages::RoffText(formatter.make_option_name(option, positional)) +
            "\\fR\\fI" + THelpPages::RoffText(formatter.make_option_opts(option)) + "\\fR";
    roff += "\n" + THelpPages::RoffText(Trimmed(formatter.make_option_desc(option))) + "\n";
  }
  return roff;
}

// A footer's text; its lines that start with two spaces are examples, shown
// as they are.
std::string FooterText(const std::string& footer) {
  std::string roff;
  std::size_t start = 0;
  while (start < footer.size()) {
    std::size_t end = footer.find('\n', start);
    if (end == std::string::npos) end = footer.size();
    const std::string line = footer.substr(start, end - start);
    if (line.rfind("  ", 0) == 0) {
      roff += ".RS\n.nf\n" + THelpPages::RoffText(Trimmed(line)) + "\n.fi\n.RE\n";
    } else {
      roff += THelpPages::RoffText(line) + "\n";
    }
    start = end + 1;
  }
  return roff;
}

std::string CommandSections(const CLI::Formatter& formatter, const CLI::App& tool) {
  std::string roff;
  for (const CLI::App* command : tool.get_subcommands({})) {
    roff += ".SS " + THelpPages::RoffText(command->get_name()) + "\n";
    roff += THelpPages::RoffText(Trimmed(formatter.make_description(command))) + "\n";
    roff += ".PP\n" + Synopsis(formatter, *command, tool.get_name() + " " + command->get_name());
    roff += OptionList(formatter, *command);
    const std::string footer = Trimmed(formatter.make_footer(command));
    if (!footer.empty()) roff += ".PP\n" + FooterText(footer);
  }
  return roff;
}

void Substitute(std::string& page, const std::string& marker, const std::string& text) {
  const std::size_t at = page.find(marker);
  if (at == std::string::npos) throw std::invalid_argument("the page has no " + marker);
  page.replace(at, marker.size(), text);
}

// The shell word of the values an option takes: "dir", "file" or "file.EXT"
// from its value name (DIR, FILE, FILE.png), "" for anything else.
std::string ValueKind(const CLI::Option& option) {
  const std::string name = option.get_type_name();
  if (name == "DIR") return "dir";
  if (name.rfind("FILE", 0) == 0) return "file" + name.substr(4);
  return "";
}

std::string OptionWords(const CLI::App& app) {
  std::string words;
  for (const CLI::Option* option : ShownOptions(app)) {
    if (!option->nonpositional()) continue;
    for (const std::string& name : option->get_snames()) words += " -" + name;
    for (const std::string& name : option->get_lnames()) words += " --" + name;
  }
  return words.empty() ? words : words.substr(1);
}

// The case arms that tell, for "COMMAND OPTION", how many values follow and
// what kind they are.
std::string ValueArms(const CLI::App& command) {
  std::string arms;
  for (const CLI::Option* option : ShownOptions(command)) {
    if (!option->nonpositional() || option->get_items_expected_min() == 0) continue;
    std::string patterns;
    for (const std::string& name : option->get_snames())
      patterns += std::string(patterns.empty() ? "" : " | ") + "\"" + command.get_name() + " -" +
                  name + "\"";
    for (const std::string& name : option->get_lnames())
      patterns += std::string(patterns.empty() ? "" : " | ") + "\"" + command.get_name() + " --" +
                  name + "\"";
    arms += "      " + patterns + ") values=" + std::to_string(option->get_items_expected_min()) +
            " kind=" + ValueKind(*option) + " ;;\n";
  }
  return arms;
}

}  // namespace

std::string THelpPages::RoffText(const std::string& text) {
  std::string roff;
  bool lineStart = true;
  for (const char c : text) {
    if (lineStart && (c == '.' || c == '\'')) roff += "\\&";
    if (c == '\\') {
      roff += "\\e";
    } else if (c == '-') {
      roff += "\\-";
    } else {
      roff += c;
    }
    lineStart = c == '\n';
  }
  return roff;
}

std::string THelpPages::ManPage(const CLI::App& tool, const std::string& page,
                                const std::string& version, const std::string& dataFolder) {
  const std::shared_ptr<CLI::Formatter> formatter = FormatterOf(tool);
  std::string man = page;
  Substitute(man, "@VERSION@", RoffText(version));
  Substitute(man, "@SYNOPSIS@\n", Synopsis(*formatter, tool, tool.get_name()));
  Substitute(man, "@DESCRIPTION@\n", RoffText(Trimmed(formatter->make_description(&tool))) + "\n");
  Substitute(man, "@OPTIONS@\n", OptionList(*formatter, tool));
  Substitute(man, "@COMMANDS@\n", CommandSections(*formatter, tool));
  while (man.find("@DATADIR@") != std::string::npos)
    Substitute(man, "@DATADIR@", RoffText(dataFolder));
  return man;
}

std::string THelpPages::BashCompletion(const CLI::App& tool) {
  const std::string name = tool.get_name();
  std::string commands;
  std::string valueArms;
  std::string optionArms;
  for (const CLI::App* command : tool.get_subcommands({})) {
    commands += command->get_name() + " ";
    valueArms += ValueArms(*command);
    optionArms += "    " + command->get_name() + ") words=\"" + OptionWords(*command) + "\" ;;\n";
  }
  // Values are never offered for a command's positional arguments (digest's
  // numbers); file and folder names only where an option asks for one.
  return "# bash completion of " + name +
         ", made by voxeltool-pages from the tool's own command line.\n"
         "_" +
         name +
         "() {\n"
         "  local cur=${COMP_WORDS[COMP_CWORD]} command='' values=0 kind='' words word i\n"
         "  for ((i = 1; i < COMP_CWORD; i++)); do\n"
         "    word=${COMP_WORDS[i]}\n"
         "    if ((values > 0)); then\n"
         "      values=$((values - 1))\n"
         "      continue\n"
         "    fi\n"
         "    kind=''\n"
         "    if [[ -z $command ]]; then\n"
         "      [[ $word == -* ]] || command=$word\n"
         "      continue\n"
         "    fi\n"
         "    case \"$command $word\" in\n" +
         valueArms +
         "    esac\n"
         "  done\n"
         "  COMPREPLY=()\n"
         "  if ((values > 0)); then\n"
         "    case $kind in\n"
         "      dir)\n"
         "        compopt -o filenames 2>/dev/null\n"
         "        mapfile -t COMPREPLY < <(compgen -d -- \"$cur\") ;;\n"
         "      file)\n"
         "        compopt -o filenames 2>/dev/null\n"
         "        mapfile -t COMPREPLY < <(compgen -f -- \"$cur\") ;;\n"
         "      file.*)\n"
         "        compopt -o filenames -o plusdirs 2>/dev/null\n"
         "        mapfile -t COMPREPLY < <(compgen -f -X \"!*.${kind#file.}\" -- \"$cur\") ;;\n"
         "    esac\n"
         "    return 0\n"
         "  fi\n"
         "  case $command in\n"
         "    '') words=\"" +
         commands + OptionWords(tool) + "\" ;;\n" + optionArms +
         "    *) return 0 ;;\n"
         "  esac\n"
         "  mapfile -t COMPREPLY < <(compgen -W \"$words\" -- \"$cur\")\n"
         "}\n"
         "complete -F _" +
         name + " " + name + "\n";
}
