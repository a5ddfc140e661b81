// The options answered before any window: the installed program is asked for --help and
// --version on machines without a display, so these run the real executable without one.
#include "CommandLine.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <QProcess>
#include <filesystem>
#include <regex>
#include <sstream>

namespace {

struct TRun {
  int code;
  std::string out, err;
};

TRun Sonavera(const QStringList& arguments) {
  QProcess process;
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
    environment.remove(name);
  process.setProcessEnvironment(environment);
  process.start(SONAVERA_BINARY_DIR "/bin/sonavera", arguments);
  EXPECT_TRUE(process.waitForFinished(10000));
  return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
          process.readAllStandardOutput().toStdString(),
          process.readAllStandardError().toStdString()};
}

TEST(CommandLine, HelpAndVersionNeedNoDisplayAndUnknownOptionsEndWithTwo) {
  const TRun version = Sonavera({"--version"});
  EXPECT_EQ(version.code, 0);
  EXPECT_TRUE(std::regex_match(version.out, std::regex("sonavera [0-9]+\\.[0-9]+[^\n]*\n")))
      << version.out;
  const TRun help = Sonavera({"/some/folder", "--help"});
  EXPECT_EQ(help.code, 0);
  EXPECT_EQ(help.out.rfind("Usage: sonavera [FOLDER | FILE | setup]\n", 0), 0u) << help.out;
  // "setup" makes the desktop link.
  EXPECT_NE(help.out.find("setup          put a link to the program on the desktop"),
            std::string::npos)
      << help.out;
  const TRun unknown = Sonavera({"--frobnicate"});
  EXPECT_EQ(unknown.code, 2);
  EXPECT_TRUE(unknown.out.empty());
  EXPECT_NE(unknown.err.find("unknown option --frobnicate"), std::string::npos) << unknown.err;
}

TEST(CommandLine, PathsSetupAndQtOptionsAreLeftToTheWindow) {
  std::ostringstream out, err;
  const auto early = [&](std::initializer_list<const char*> arguments) {
    std::vector<const char*> argv{"sonavera"};
    argv.insert(argv.end(), arguments);
    return TCommandLine::Early(int(argv.size()), argv.data(), out, err);
  };
  EXPECT_EQ(early({}), -1);
  EXPECT_EQ(early({"/music/Album", "setup", "-x"}), -1);
  EXPECT_EQ(early({"--platform=offscreen", "--style", "Fusion"}), -1);
  EXPECT_EQ(early({"--", "--folder-with-dashes"}), -1);
  EXPECT_TRUE(out.str().empty() && err.str().empty());
  EXPECT_EQ(early({"--platformx"}), 2);
}

// "--" ends the options and goes; a file or folder is made absolute for a player that runs
// elsewhere, and a current folder that is gone says so instead of aborting.
TEST(CommandLine, OperandsAreAbsoluteAndTheirEndMarkerGoes) {
  std::ostringstream err;
  std::vector<std::string> arguments{"--", "/music/-odd name"};
  EXPECT_TRUE(TCommandLine::Operands(arguments, err));
  EXPECT_EQ(arguments, std::vector<std::string>{"/music/-odd name"});
  arguments = {"setup"};
  EXPECT_TRUE(TCommandLine::Operands(arguments, err));
  EXPECT_EQ(arguments, std::vector<std::string>{"setup"});

  const std::filesystem::path before = std::filesystem::current_path();
  const std::filesystem::path gone =
      std::filesystem::temp_directory_path() / ("sonavera-gone-" + std::to_string(getpid()));
  std::filesystem::create_directory(gone);
  std::filesystem::current_path(gone);
  arguments = {"--", "media/x.mp3"};
  EXPECT_TRUE(TCommandLine::Operands(arguments, err));
  EXPECT_EQ(arguments, std::vector<std::string>{gone.string() + "/media/x.mp3"});
  std::filesystem::remove(gone);
  arguments = {"media/x.mp3"};
  EXPECT_FALSE(TCommandLine::Operands(arguments, err));
  std::filesystem::current_path(before);
  EXPECT_NE(err.str().find("the current folder no longer exists"), std::string::npos) << err.str();
}

}  // namespace
