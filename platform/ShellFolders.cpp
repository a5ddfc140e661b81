#include "ShellFolders.h"

#include "Folders.h"

namespace platform {

namespace {

std::string WithSlash(std::string folder) {
  if (folder.empty() || folder.back() != '/') folder.push_back('/');
  return folder;
}

}  // namespace

std::string DesktopFolder() {
  const std::string folder = UserDirsFolder("DESKTOP");
  return folder.empty() ? HomeFolder() + "Desktop/" : WithSlash(folder);
}

std::string ShellFolder(const std::string& name) {
  if (name == "Desktop") return DesktopFolder();
  if (name == "Programs" || name == "Start Menu") return UserDataFolder() + "applications/";
  if (name == "StartUp") return ConfigFolder() + "autostart/";
  return {};
}

}  // namespace platform
