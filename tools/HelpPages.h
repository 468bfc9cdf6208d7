#pragma once

#include <string>

namespace CLI {
class App;
}

// voxeltool's manual page and its bash completion, made from the command line
// that its --help describes (tools/CommandLine). Names, value names, defaults
// and texts come out of CLI11's own help formatter, so the page says what
// --help says and the completion offers what the parser takes.
class THelpPages {
 public:
  // `page` is the hand-written part of the page (roff with the man macros) with
  // a line @SYNOPSIS@, @DESCRIPTION@, @OPTIONS@ and @COMMANDS@ each where those
  // sections' generated text goes, @VERSION@ for `version` and @DATADIR@
  // (anywhere) for `dataFolder`, the installed data.
  static std::string ManPage(const CLI::App& tool, const std::string& page,
                             const std::string& version, const std::string& dataFolder);
  // A bash script that completes the commands, each command's options, and
  // folder or file names (by extension) where an option takes one.
  static std::string BashCompletion(const CLI::App& tool);
  // `text` as roff text lines: backslashes and minus signs escaped, a line
  // that would read as a request guarded.
  static std::string RoffText(const std::string& text);
};
