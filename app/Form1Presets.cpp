// Equalizer presets: the name field, the "v" list of presets, loading one, and "Save" and
// "Remove" behind "-". A preset is one small INI file per name. Saving and removing say why
// when they cannot be done; the program folder is never written once installed, so there a
// removed shipped preset is only hidden for the user, by an empty NAME.hidden file in the
// user's preset folder.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QStackedWidget>
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "CaseInsensitive.h"
#include "EventHook.h"
#include "ExtProgressBar.h"
#include "FileLister.h"
#include "FindFile.h"
#include "Folders.h"
#include "Form1.h"
#include "QtText.h"
#include "SettingsKeys.h"
#include "WPopupMenu.h"

namespace {

bool IsFolder(const std::string& path) {
  struct stat st;
  return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool IsFile(const std::string& path) {
  struct stat st;
  return stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool Exists(const std::string& path) {
  struct stat st;
  return lstat(path.c_str(), &st) == 0;
}

bool CanWrite(const std::string& folder) { return access(folder.c_str(), W_OK | X_OK) == 0; }

constexpr const char* kHiddenEnding = ".hidden";

// The name is the base of a file name in the preset folder; a "/" would lead out of it.
// ("." and ".." cannot: ".equ" follows them.) A line break could not be kept in the
// settings file nor shown in the one-line list.
bool IsPresetName(const std::string& name) {
  return name.find_first_of(std::string("/\0\n\r", 4)) == std::string::npos;
}

// The names of the plain files in folder whose names match "*.equ" in any case; also the
// preset saved under the empty name, ".equ". Nothing when the folder cannot be read.
std::vector<std::string> PresetFiles(const std::string& folder) {
  std::vector<TFindFile::TFolderEntry> entries;
  const int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return {};
  const bool ok = TFindFile::ReadFolder(fd, entries);
  close(fd);
  std::vector<std::string> names;
  if (!ok) return names;
  for (const TFindFile::TFolderEntry& e : entries)
    if (e.Regular && TFindFile::MatchesMask(e.Name, "*.equ") && IsPresetName(e.Name))
      names.push_back(e.Name);
  TFileLister::SortNames(names);
  return names;
}

// The file of preset name in folder: one already there in any letter case, as the list shows
// it, else name + ".equ".
std::string PresetFile(const std::string& folder, const std::string& name) {
  return folder + platform::FindEntryIgnoringCase(folder, name + ".equ").value_or(name + ".equ");
}

}  // namespace

std::string TForm1::PresetFolder() const {
  const std::string folder = ProgramFolder + "Equ/";
  // Anything else named Equ in the way counts as unwritable.
  const bool writable =
      !platform::IsInstalledFolder(ProgramFolder) &&
      (IsFolder(folder) ? CanWrite(folder)
                        : !Exists(ProgramFolder + "Equ") && CanWrite(ProgramFolder));
  return writable ? folder : UserPresetFolder();
}

std::string TForm1::UserPresetFolder() const {
  return platform::UserDataFolder() + "Sonavera/Equ/";
}

// The user's presets come first: listed first, and found first when a name is in both.
std::vector<std::string> TForm1::PresetFolders() const {
  std::vector<std::string> folders{UserPresetFolder()};
  if (folders[0] != ProgramFolder + "Equ/") folders.push_back(ProgramFolder + "Equ/");
  return folders;
}

// Only the shipped presets can be hidden: the user's own are deleted.
bool TForm1::PresetHidden(const std::string& folder, const std::string& name) const {
  return folder != UserPresetFolder() &&
         platform::FindEntryIgnoringCase(UserPresetFolder(), name + kHiddenEnding).has_value();
}

// The name keeps the bytes it was given (a file name need not be valid UTF-8) for as long as
// the field shows it unedited.
void TForm1::SetPresetName(const std::string& name) {
  PresetBytes = name;
  PresetEdit->setText(ToQString(name));
}

std::string TForm1::PresetName() const {
  const QString shown = PresetEdit->text();
  return shown == ToQString(PresetBytes) ? PresetBytes : FromQString(shown);
}

std::string TForm1::FindPreset(const std::string& name) const {
  if (!IsPresetName(name)) return {};
  for (const std::string& folder : PresetFolders())
    if (const std::string path = PresetFile(folder, name);
        IsFile(path) && !PresetHidden(folder, name))
      return path;
  return {};
}

void TForm1::CreatePresetMenus() {
  EQUMenu = new TWPopupMenu(this);
  Save1 = EQUMenu->addAction(QStringLiteral("Save"));
  connect(Save1, &QAction::triggered, this, &TForm1::Save1Click);
  Remove1 = EQUMenu->addAction(QStringLiteral("Remove"));
  connect(Remove1, &QAction::triggered, this, &TForm1::Remove1Click);

  PresetMenu = new TWPopupMenu(this);
  PresetMenu->SetBreakAt(20);
  PresetMenu->SetBreakType(mbNone);
  PresetMenu->OnClick = [this](TWPopupMenu*, int index, const std::string& caption) {
    PresetMenuClick(index, caption);
  };

  const auto at = [](QEvent* event) {
    return static_cast<QMouseEvent*>(event)->position().toPoint();
  };
  TEventHook::Attach(LoadPresetbtn, {QEvent::MouseButtonRelease}, [this, at](QEvent* event) {
    LoadPresetbtnMouseUp(at(event).x(), at(event).y());
  });
  TEventHook::Attach(Presetbtn, {QEvent::MouseButtonRelease},
                     [this, at](QEvent* event) { PresetbtnMouseUp(at(event).x(), at(event).y()); });
  TEventHook::Attach(PresetEdit, {QEvent::KeyRelease}, [this](QEvent* event) {
    PresetEditKeyUp(static_cast<QKeyEvent*>(event)->key());
  });
  // A popup (the field's own context menu) does not leave the field.
  TEventHook::Attach(PresetEdit, {QEvent::FocusIn, QEvent::FocusOut}, [this](QEvent* event) {
    if (static_cast<QFocusEvent*>(event)->reason() == Qt::PopupFocusReason) return;
    if (event->type() == QEvent::FocusIn)
      PresetEditEnter();
    else
      PresetEditExit();
  });
}

// The list opens at the name field, offset by where "v" was clicked.
void TForm1::LoadPresetbtnMouseUp(int x, int y) {
  PresetMenu->Clear();
  std::vector<std::string> files;
  for (const std::string& folder : PresetFolders())
    for (std::string& name : PresetFiles(folder))
      if (std::find(files.begin(), files.end(), name) == files.end() &&
          !PresetHidden(folder, name.substr(0, name.size() - 4)))
        files.push_back(std::move(name));
  for (const std::string& file : files) PresetMenu->AddMenuItem(file.substr(0, file.size() - 4));
  PresetMenu->popup(PresetEdit->mapToGlobal(QPoint(x, y)));
  Display->setFocus();
}

// A key missing from the file, or holding 0, is written into it as 0 (the store writes
// defaults back). An error ends the reading with the bands read so far changed.
void TForm1::PresetMenuClick(int, const std::string& Caption) {
  const std::string path = FindPreset(Caption);
  if (path.empty()) return;
  try {
    ini.INIFile = path;
    ini.Open();
    for (int band = 1; band <= 8; ++band)
      TrackBar[band - 1]->SetPosition(ini.ReadInteger(settings::kEqu, settings::kEquBands[band - 1],
                                                      settings::kEquBandDefault));
    ini.Close();
  } catch (const std::exception&) {
  }
  UpdateEqualizer();
  SetPresetName(Caption);
}

void TForm1::PresetbtnMouseUp(int x, int y) {
  EQUMenu->popup(Presetbtn->mapToGlobal(QPoint(x, y)));
  Display->setFocus();
}

// An existing preset of the same name is overwritten without asking.
void TForm1::Save1Click() {
  const std::string name = PresetName();
  const std::string refused = "The preset \"" + name + "\" was not saved: ";
  if (!IsPresetName(name)) {
    ShowMessage(refused + "a preset name cannot hold \"/\" or a line break.");
    return;
  }
  const std::string folder = PresetFolder();
  std::error_code error;
  if (!IsFolder(folder) && !std::filesystem::create_directories(folder, error)) {
    ShowMessage(refused + "the folder " + folder + " cannot be made (" + error.message() + ").");
    return;
  }
  const std::string path = PresetFile(folder, name);
  bool stored = false;
  try {
    ini.INIFile = path;
    ini.Open();
    // One write of the whole file, whose result says whether it got there.
    ini.BeginUpdate();
    for (int band = 1; band <= 8; ++band)
      ini.WriteInteger(settings::kEqu, settings::kEquBands[band - 1],
                       TrackBar[band - 1]->Position());
    stored = ini.EndUpdate();
    ini.Close();
  } catch (const std::exception&) {
  }
  if (!stored) ShowMessage(refused + path + " cannot be written.");
}

// The switch stays as it is; a preset that cannot be removed leaves everything unchanged.
void TForm1::Remove1Click() {
  const std::string name = PresetName();
  const std::string path = FindPreset(name);
  if (path.empty()) return;
  const std::string folder = path.substr(0, path.rfind('/') + 1);
  const std::string refused = "The preset \"" + name + "\" was not removed: ";
  if (folder == UserPresetFolder() || folder == PresetFolder()) {
    if (unlink(path.c_str()) != 0) {
      ShowMessage(refused + path + ": " + std::strerror(errno) + ".");
      return;
    }
  } else {
    // A shipped preset the program may not delete: hidden for this user instead.
    const std::string user = UserPresetFolder();
    std::error_code error;
    if (!IsFolder(user)) std::filesystem::create_directories(user, error);
    const int fd = open((user + name + kHiddenEnding).c_str(),
                        O_WRONLY | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0666);
    if (fd < 0) {
      ShowMessage(refused + "it is shipped with the program, and hiding it needs " + user + name +
                  kHiddenEnding + ": " + std::strerror(errno) + ".");
      return;
    }
    ::close(fd);
  }
  SetPresetName("Default");
  ZerobtnClick();
}

void TForm1::PresetEditEnter() { PresetEditing = true; }

void TForm1::PresetEditExit() {
  PresetEditing = false;
  Display->setFocus();
}

void TForm1::PresetEditKeyUp(int key) {
  if (key == Qt::Key_Return || key == Qt::Key_Enter) Display->setFocus();
}
