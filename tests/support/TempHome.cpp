#include "TempHome.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>

TempHome::TempHome(bool keepConfig) : Home(dir_.path().toStdString() + "/home/") {
  std::filesystem::create_directories(Home);
  Set("HOME", Home);
  Set("XDG_DATA_HOME", Home + ".local/share");
  const char* config = std::getenv("XDG_CONFIG_HOME");
  config_ =
      keepConfig && config && config[0] == '/' ? std::string(config) + "/" : Home + ".config/";
  Set("XDG_CONFIG_HOME", config_);
  std::filesystem::create_directories(config_);
  Applications = Home + ".local/share/applications/";
  Autostart = config_ + "autostart/";
  SetDesktop(Home + "Work Desk/");
}

TempHome::~TempHome() {
  std::filesystem::remove(config_ + "user-dirs.dirs");
  for (auto it = saved_.rbegin(); it != saved_.rend(); ++it)
    it->second ? setenv(it->first, it->second->c_str(), 1) : unsetenv(it->first);
}

void TempHome::Set(const char* name, const std::string& value) {
  const char* old = std::getenv(name);
  saved_.emplace_back(name, old ? std::optional<std::string>(old) : std::nullopt);
  setenv(name, value.c_str(), 1);
}

void TempHome::SetDesktop(const std::string& folder) {
  Desktop = folder.back() == '/' ? folder : folder + "/";
  std::ofstream(config_ + "user-dirs.dirs") << "XDG_DESKTOP_DIR=\"" << Desktop << "\"\n";
}
