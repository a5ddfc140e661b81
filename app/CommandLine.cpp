#include "CommandLine.h"

#include <algorithm>
#include <filesystem>
#include <string_view>

#ifndef SONAVERA_VERSION
#define SONAVERA_VERSION "unknown"
#endif

namespace {

constexpr std::string_view kUsage =
    "Usage: sonavera [FOLDER | FILE | setup]\n"
    "An album-oriented player: every folder holding MP3, FLAC, Ogg Vorbis\n"
    "or Opus files is a disc.\n"
    "\n"
    "  FOLDER, FILE   open that folder (or the folder of that file) as the album\n"
    "  setup          put a link to the program on the desktop, then start\n"
    "  --help         show this help and exit\n"
    "  --version      show the version and exit\n"
    "\n"
    "Settings are kept in $XDG_CONFIG_HOME/Sonavera.ini (default ~/.config); presets\n"
    "and skin colours go to $XDG_DATA_HOME/Sonavera/ (default ~/.local/share) when\n"
    "the program folder is installed or read-only. SONAVERA_OUTPUT chooses the sound\n"
    "output (default, null, wav:FILE or a libout123 driver[:device]). See sonavera(1).\n";

// Qt's own options, which QApplication takes out of the arguments; also in "--" spelling.
constexpr std::string_view kQtOptions[] = {"platform",
                                           "platformpluginpath",
                                           "platformtheme",
                                           "plugin",
                                           "qwindowgeometry",
                                           "qwindowicon",
                                           "qwindowtitle",
                                           "reverse",
                                           "session",
                                           "style",
                                           "stylesheet",
                                           "widgetcount",
                                           "display",
                                           "geometry",
                                           "name",
                                           "title",
                                           "visual",
                                           "sync",
                                           "nograb",
                                           "dograb",
                                           "qmljsdebugger"};

bool IsQtOption(std::string_view name) {
  name = name.substr(0, name.find('='));
  for (std::string_view qt : kQtOptions)
    if (name == qt) return true;
  return false;
}

}  // namespace

int TCommandLine::Early(int argc, const char* const* argv, std::ostream& out, std::ostream& err) {
  for (int i = 1; i < argc; ++i) {
    const std::string_view argument = argv[i];
    if (argument == "--help" || argument == "-h") {
      out << kUsage;
      return 0;
    }
    if (argument == "--version") {
      out << "sonavera " SONAVERA_VERSION "\n";
      return 0;
    }
    // "--" ends the options: a path may follow that begins with "-".
    if (argument == "--") return -1;
    if (argument.size() > 2 && argument.substr(0, 2) == "--" && !IsQtOption(argument.substr(2))) {
      err << "sonavera: unknown option " << argument << "\n"
          << "Try 'sonavera --help' for more information.\n";
      return 2;
    }
  }
  return -1;
}

bool TCommandLine::Operands(std::vector<std::string>& arguments, std::ostream& err) {
  if (auto end = std::find(arguments.begin(), arguments.end(), "--"); end != arguments.end())
    arguments.erase(end);
  if (arguments.empty() || arguments[0].size() <= 3 || arguments[0] == "setup" ||
      arguments[0].starts_with('/'))
    return true;
  std::error_code error;
  const std::filesystem::path here = std::filesystem::current_path(error);
  if (error) {
    err << "sonavera: cannot open " << arguments[0]
        << ": the current folder no longer exists; name it by its full path\n";
    return false;
  }
  arguments[0] = here.string() + "/" + arguments[0];
  return true;
}
