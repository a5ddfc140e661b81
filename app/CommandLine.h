// The options the player answers before it opens a window: --help and --version print to
// standard output and end the program; an unknown "--" option is refused. Everything else
// (a folder or file to open, "setup", Qt's own options) is left to the window.
#pragma once

#include <ostream>
#include <string>
#include <vector>

class TCommandLine {
 public:
  // The exit code when the program is to end now (0 after --help or --version, 2 for an
  // unknown option); -1 to go on. Needs no display.
  static int Early(int argc, const char* const* argv, std::ostream& out, std::ostream& err);
  // The arguments QApplication left, as the window takes them: the "--" that ends the
  // options is dropped, and a file or folder is made absolute (a running player it goes to
  // has another current folder). False, with a message on `err`, when a relative path
  // cannot be resolved because the current folder is gone.
  static bool Operands(std::vector<std::string>& arguments, std::ostream& err);
};
