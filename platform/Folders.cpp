#include "Folders.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <system_error>

#include "RegularFile.h"

namespace platform {

namespace {

std::string WithSlash(std::string folder) {
  if (folder.empty() || folder.back() != '/') folder.push_back('/');
  return folder;
}

// An XDG base folder: the variable when it holds an absolute path (relative values are
// invalid and ignored), else the fallback under the home folder.
std::string XdgFolder(const char* variable, const char* fallbackUnderHome) {
  const char* value = std::getenv(variable);
  if (value && value[0] == '/') return WithSlash(value);
  return HomeFolder() + fallbackUnderHome;
}

}  // namespace

std::string HomeFolder() {
  const char* home = std::getenv("HOME");
  if (home && home[0] == '/') return WithSlash(home);
  if (const passwd* entry = getpwuid(getuid()); entry && entry->pw_dir && entry->pw_dir[0])
    return WithSlash(entry->pw_dir);
  return "/";
}

std::string ProgramFolder() {
  std::error_code error;
  std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", error);
  if (error || !exe.has_parent_path()) return WithSlash(std::filesystem::current_path(error));
  return WithSlash(exe.parent_path().string());
}

bool IsInstalledFolder(const std::string& programFolder) {
  std::error_code ignored;
  return std::filesystem::exists(programFolder + kInstalledMark, ignored);
}

std::string ConfigFolder() {
  std::string folder = XdgFolder("XDG_CONFIG_HOME", ".config/");
  std::error_code ignored;
  std::filesystem::create_directories(folder, ignored);
  return folder;
}

std::string MusicFolder() {
  std::error_code ignored;
  for (const std::string& folder : {UserDirsFolder("MUSIC"), HomeFolder() + "Music"}) {
    if (!folder.empty() && std::filesystem::is_directory(folder, ignored)) return WithSlash(folder);
  }
  return HomeFolder();
}

// A line XDG_NAME_DIR="$HOME/Music" or an absolute path in quotes. The file is read only when
// it is a regular file (a named pipe there must not stall the start).
std::string UserDirsFolder(const std::string& name) {
  const std::optional<std::string> text =
      ReadRegularFile(XdgFolder("XDG_CONFIG_HOME", ".config/") + "user-dirs.dirs", 1u << 20);
  std::istringstream in(text.value_or(std::string()));
  const std::string prefix = "XDG_" + name + "_DIR=\"";
  for (std::string line; std::getline(in, line);) {
    if (line.compare(0, prefix.size(), prefix) != 0 || line.size() < prefix.size() + 1 ||
        line.back() != '"')
      continue;
    std::string value = line.substr(prefix.size(), line.size() - prefix.size() - 1);
    if (value.compare(0, 6, "$HOME/") == 0) return HomeFolder() + value.substr(6);
    if (!value.empty() && value[0] == '/') return value;
  }
  return {};
}

std::string UserDataFolder() { return XdgFolder("XDG_DATA_HOME", ".local/share/"); }

}  // namespace platform
