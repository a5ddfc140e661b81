// A home folder of its own for tests that write into the user's folders: HOME,
// XDG_DATA_HOME and XDG_CONFIG_HOME point into a temporary folder (keepConfig keeps the
// configuration folder a fixture has set already), and the user-dirs file names a desktop
// folder "Work Desk" that does not exist until something creates it. Everything is put back
// when it goes.
#pragma once

#include <QTemporaryDir>
#include <optional>
#include <string>
#include <utility>
#include <vector>

class TempHome {
  QTemporaryDir dir_;  // first: the folders below are made from it

 public:
  explicit TempHome(bool keepConfig = false);
  ~TempHome();
  TempHome(const TempHome&) = delete;
  TempHome& operator=(const TempHome&) = delete;

  // Names another desktop folder in the user-dirs file.
  void SetDesktop(const std::string& folder);

  // Every folder ends in "/".
  std::string Home;
  std::string Desktop;
  std::string Applications;  // the program menu
  std::string Autostart;

 private:
  void Set(const char* name, const std::string& value);

  std::string config_;
  std::vector<std::pair<const char*, std::optional<std::string>>> saved_;
};
