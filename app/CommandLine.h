// The options the player answers before it opens a window: --help and --version print to
// standard output and end the program; an unknown "--" option is refused. Everything else
// (a folder or file to open, "setup", Qt's own options) is left to the window.
#pragma once

#include <ostream>

class TCommandLine {
 public:
  // The exit code when the program is to end now (0 after --help or --version, 2 for an
  // unknown option); -1 to go on. Needs no display.
  static int Early(int argc, const char* const* argv, std::ostream& out, std::ostream& err);
};
