// TShortCut: keeps the links that start a program in step with its properties. Made active,
// it writes the link at every place of Place and deletes the link of the same name at every
// other place. A link is a desktop entry file named Description + ".desktop".
#pragma once

#include <functional>
#include <set>
#include <stdexcept>
#include <string>

enum TShowCmd { cmdShowNormal, cmdShowMinimized, cmdShowMaximized };
enum TPlace { plExactFolder, plStartMenu, plProgramsMenu, plDesktop, plStartUp, plRecent };
using TPlaces = std::set<TPlace>;
enum TFolderBase { fbNone, fbWindows, fbStartMenu, fbProgramsMenu, fbDesktop, fbApplicationPath };

// A link that cannot be made; the text is meant for the user.
class EShortCut : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

class TShortCut {
 public:
  using TNotifyEvent = std::function<void(TShortCut* Sender)>;

  // Turning it on synchronizes the links; turning it off leaves them as they are.
  bool Active() const { return active_; }
  void SetActive(bool value);
  // The link's name and the base of its file name.
  const std::string& Description() const { return description_; }
  void SetDescription(const std::string& value);
  // The link's icon: an image file. Empty means Path.
  const std::string& IconPath() const { return iconPath_; }
  void SetIconPath(const std::string& value);
  // An icon file here holds one picture; the index is kept for the link's owner.
  int IconIndex() const { return iconIndex_; }
  void SetIconIndex(int value);
  // The program the link starts. Empty means the running program.
  const std::string& Path() const { return path_; }
  void SetPath(const std::string& value);
  const std::string& WorkingDirectory() const { return workingDirectory_; }
  void SetWorkingDirectory(const std::string& value);
  // Written after the program as they are, unquoted.
  const std::string& Arguments() const { return arguments_; }
  void SetArguments(const std::string& value);
  // Desktop entries carry no window state; the setting is kept for the link's owner.
  TShowCmd ShowCmd() const { return showCmd_; }
  void SetShowCmd(TShowCmd value);
  // The window class the started program's windows carry, so that desktops group them
  // under the link; empty writes none.
  const std::string& WindowClass() const { return windowClass_; }
  void SetWindowClass(const std::string& value);
  // Where links shall exist; changing it synchronizes.
  const TPlaces& Place() const { return place_; }
  void SetPlace(const TPlaces& value);
  // The folder of plExactFolder, relative to ExactFolderBase.
  std::string ExactFolder;
  TFolderBase ExactFolderBase = fbProgramsMenu;

  TNotifyEvent OnChanged;
  TNotifyEvent OnActivate;
  TNotifyEvent OnDeactivate;
  TNotifyEvent OnSynchronized;

  // While active: for each place in turn, writes its link when the place is in Place, else
  // deletes it. Throws EShortCut on the first link that cannot be made; what was done before
  // stays.
  void Synchronize();
  // Writes one link file from the properties, replacing the file whole.
  void CreateLink(const std::string& file);
  // The link file of place; empty for a place without an equivalent (plRecent).
  std::string LinkFile(TPlace place) const;

 private:
  // The folder plExactFolder's link lies in.
  std::string ExactFolderPath() const;
  std::string ExactFolderBasePath() const;
  std::string EntryText() const;
  void RemoveEmptyFolders(const std::string& link) const;
  void Fire(const TNotifyEvent& event);
  void Store(std::string& field, const std::string& value);

  bool active_ = false;
  std::string description_;
  std::string iconPath_;
  int iconIndex_ = 1;
  std::string path_;
  std::string workingDirectory_;
  std::string arguments_;
  TShowCmd showCmd_ = cmdShowNormal;
  std::string windowClass_;
  TPlaces place_{plProgramsMenu};
};
