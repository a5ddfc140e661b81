// Skins and colours of the main window: loading a skin's pictures, reading, applying and
// writing its colour scheme, and the Select Skin dialog's flow.
#include <sys/stat.h>
#include <unistd.h>

#include <QCheckBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTimer>
#include <filesystem>
#include <stdexcept>
#include <vector>

#include "AlbumScanner.h"
#include "CaseInsensitive.h"
#include "CoolButton.h"
#include "FEJpeg.h"
#include "FindFile.h"
#include "Folders.h"
#include "Form1.h"
#include "Form4.h"
#include "GradProgress.h"
#include "MainLayout.h"
#include "PictureFile.h"
#include "RunLabel.h"

namespace {

bool Exists(const std::string& path) {
  struct stat st;
  return stat(path.c_str(), &st) == 0;
}

bool IsFolder(const std::string& path) {
  struct stat st;
  return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

std::string RealPath(const std::string& path) {
  std::error_code error;
  const std::filesystem::path real = std::filesystem::canonical(path, error);
  return error ? std::string() : real.string();
}

// A file can be written where it is, or made in its folder.
bool CanWrite(const std::string& file) {
  struct stat st;
  if (stat(file.c_str(), &st) == 0)
    return S_ISREG(st.st_mode) && (st.st_mode & 0222) != 0 && access(file.c_str(), W_OK) == 0;
  const std::string folder = file.substr(0, file.rfind('/') + 1);
  return access(folder.c_str(), W_OK | X_OK) == 0;
}

// The pictures of a skin together: enough for a window of 196 x 170 many times over, and
// bounded, so a hostile skin cannot take the memory of the whole session.
constexpr int kMaxSkinSide = 4096;
constexpr long long kMaxSkinBytes = 64LL << 20;

}  // namespace

std::string TForm1::SkinFolderOf(const std::string& name) const {
  const std::string user = UserSkinsRoot + name + "/";
  return !name.empty() && IsFolder(user) && InSkinsRoots(user) ? user : SkinsRoot + name + "/";
}

// Real paths compared: the folder must be a skin folder right under one of the roots, after
// every link and "..", so no skin name (read from a hand-edited settings file) leads out.
bool TForm1::InSkinsRoots(const std::string& folder) const {
  const std::string real = RealPath(folder);
  if (real.empty()) return false;
  const std::string parent = std::filesystem::path(real).parent_path().string();
  for (const std::string& root : {SkinsRoot, UserSkinsRoot})
    if (const std::string realRoot = RealPath(root); !realRoot.empty() && parent == realRoot)
      return true;
  return false;
}

// A user's copy of the colours, once there, is read and written; a shipped skin in an installed
// or unwritable program folder gets one at the first writing.
std::string TForm1::ColorsFile(const std::string& name, bool forWriting) const {
  const std::string folder = SkinFolderOf(name);
  const std::string own = FindIgnoringCase(folder + "Colors.ini");
  if (folder.compare(0, UserSkinsRoot.size(), UserSkinsRoot) == 0) return own;
  const std::string user = UserSkinsRoot + name + "/Colors.ini";
  if (Exists(user) ||
      (forWriting && (platform::IsInstalledFolder(ProgramFolder) || !CanWrite(own))))
    return user;
  return own;
}

// Skin folders and skin files are found without regard to letter case: each component of
// path that does not exist as written is looked up among its folder's entries. Components
// from the first one that cannot be found on stay as written.
std::string TForm1::FindIgnoringCase(const std::string& path) {
  std::string found;
  std::size_t start = 0;
  if (!path.empty() && path[0] == '/') {
    found = "/";
    start = 1;
  }
  while (start < path.size()) {
    std::size_t end = path.find('/', start);
    const bool last = end == std::string::npos;
    if (last) end = path.size();
    const std::string name = path.substr(start, end - start);
    if (!name.empty() && !Exists(found + name)) {
      const std::optional<std::string> entry = platform::FindEntryIgnoringCase(found, name);
      if (!entry) return found + path.substr(start);
      found += *entry;
    } else {
      found += name;
    }
    if (!last) found += '/';
    start = end + 1;
  }
  return found;
}

std::string TForm1::EstraiDisco(const std::string& path) const {
  return TAlbumScanner::EstraiDisco(path);
}

void TForm1::LoadSkin(const std::string& folder, bool messageLater) {
  const std::pair<TFEJpeg*, const char*> pictures[] = {
      {CDImage, "IMG-Default.bmp"},
      {EQUimg, "IMG-Equ.bmp"},
      {DISPimage, "IMG-Display.bmp"},
      {Sfondo, "IMG-Background.bmp"},
  };
  // The files are read and their sizes checked before any picture is decoded; reading stops
  // at the first file that fails.
  long long budget = kMaxSkinBytes;
  std::vector<TPictureFile> files;
  bool complete = InSkinsRoots(FindIgnoringCase(folder));
  try {
    const auto read = [&](const std::string& file) {
      TPictureFile picture(FindIgnoringCase(folder + file));
      const QSize size = picture.DeclaredSize();
      budget -= picture.DecodedBytes();
      if (size.width() > kMaxSkinSide || size.height() > kMaxSkinSide || budget < 0)
        throw std::runtime_error("Skin picture too large: " + file);
      files.push_back(std::move(picture));
    };
    if (complete) {
      for (const TSkinnedButton& button : SkinnedButtons())
        read(TMainLayout::Of(button.Name).Picture);
      for (const auto& picture : pictures) read(picture.second);
    }
  } catch (const std::exception&) {
    complete = false;
  }
  // One unit: the first picture that fails ends the load; those loaded before it stay.
  try {
    auto file = files.begin();
    for (const TSkinnedButton& button : SkinnedButtons()) {
      if (file == files.end()) break;
      if (!(this->*button.Member)->LoadGlyph(*file++)) throw std::runtime_error(button.Name);
    }
    for (const auto& picture : pictures) {
      if (file == files.end()) break;
      picture.first->Load(std::move(*file++));
    }
  } catch (const std::exception&) {
    complete = false;
  }
  if (!complete) {
    const std::string text = "Error loading Skin: " + folder;
    // Out of the event loop, a kill or a second start already reach the player while the
    // message waits for its OK.
    if (messageLater)
      QTimer::singleShot(0, this, [text] { ShowMessage(text); });
    else
      ShowMessage(text);
    return;
  }
  SkinName = EstraiDisco(folder);
}

void TForm1::LeggiSkinINI(const std::string& path) {
  // A missing key gets its default text written back; a value that is no number, or a
  // default that cannot be written, ends the reading there and the later keys keep theirs.
  try {
    if (!InSkinsRoots(FindIgnoringCase(path.substr(0, path.rfind('/') + 1))))
      throw std::runtime_error("No skin folder");
    ini.INIFile = FindIgnoringCase(path);
    ini.Close();
    ini.Open();
    for (const TColorScheme::TKey& key : TColorScheme::Keys()) {
      const std::string text =
          ini.ReadString(TColorScheme::kSection, key.ReadName, key.DefaultText);
      const std::optional<std::int32_t> value = TMyRegistry::ParseInteger(text);
      if (!value) break;
      Colors.*key.Field = *value;
    }
  } catch (const std::exception&) {
  }
  ini.Close();
  Assegnacolori();
}

void TForm1::Assegnacolori() { PaintColors(Colors, Colors.MediumText, Colors.LowText); }

void TForm1::PaintColors(const TColorScheme& scheme, TColor modeOn, TColor modeOff) {
  CDlbl->SetFontColor(scheme.HighText);
  Songlbl->SetFontColor(scheme.HighText);
  SetTextColor(CurrTime, scheme.HighText);
  for (QLabel* label : {Separatore, Totlbl, Bitratelbl, Stereolbl})
    SetTextColor(label, scheme.MediumText);
  const std::pair<QLabel*, bool> modes[] = {{replbl, Session.Repeat},
                                            {shufflelbl, Session.Shuffle},
                                            {Programlbl, Session.Program},
                                            {Albumlbl, Session.Album}};
  for (const auto& [label, on] : modes) SetTextColor(label, on ? modeOn : modeOff);
  PosBar->SetStartColor(scheme.PosBarStart);
  PosBar->SetEndColor(scheme.PosBarEnd);
  PosBar->SetBackColor(scheme.PosBarBack);
  VolBar->SetStartColor(scheme.VolBarStart);
  VolBar->SetEndColor(scheme.VolBarEnd);
  VolBar->SetBackColor(scheme.VolBarBack);
  // The equalizer page's standard controls in the display's own colours: the bars' ground
  // and the bright title text.
  QPalette controls = AbilitaEQU->palette();
  const QColor ground = ColorToQColor(scheme.PosBarBack);
  const QColor ink = ColorToQColor(scheme.HighText);
  for (const QPalette::ColorRole role : {QPalette::Window, QPalette::Button, QPalette::Base})
    controls.setColor(role, ground);
  for (const QPalette::ColorRole role :
       {QPalette::WindowText, QPalette::ButtonText, QPalette::Text})
    controls.setColor(role, ink);
  for (QWidget* control : {static_cast<QWidget*>(AbilitaEQU), static_cast<QWidget*>(Zerobtn),
                           static_cast<QWidget*>(LoadPresetbtn), static_cast<QWidget*>(Presetbtn)})
    control->setPalette(controls);
}

void TForm1::ScriviSkinINI() {
  // The name may come from a hand-edited settings file: never write outside the skins roots.
  if (SkinName.empty() || SkinName == "." || SkinName == ".." ||
      SkinName.find('/') != std::string::npos ||
      !InSkinsRoots(FindIgnoringCase(SkinFolderOf(SkinName))))
    return;
  const std::string path = ColorsFile(SkinName, true);
  const std::string folder = path.substr(0, path.rfind('/') + 1);
  std::error_code error;
  if (!IsFolder(folder)) std::filesystem::create_directories(folder, error);
  if (!InSkinsRoots(folder)) return;
  // Text colours come from the working copy, bar colours from the bars as they are shown.
  TColorScheme shown = Colors;
  shown.PosBarStart = PosBar->StartColor();
  shown.PosBarEnd = PosBar->EndColor();
  shown.PosBarBack = PosBar->BackColor();
  shown.VolBarStart = VolBar->StartColor();
  shown.VolBarEnd = VolBar->EndColor();
  shown.VolBarBack = VolBar->BackColor();
  ini.INIFile = path;
  ini.Close();
  const TMyRegistry::TQuietPass pass(ini);
  ini.Open();
  for (const TColorScheme::TKey& key : TColorScheme::Keys())
    ini.WriteInteger(TColorScheme::kSection, key.WriteName, shown.*key.Field);
}

// A shipped skin that the user has a skin of the same name for is listed once, as that one.
void TForm1::FindFileSkinNewPath(const std::string& newPath) {
  if (newPath == SkinsRoot || newPath == UserSkinsRoot) return;
  const std::string name = EstraiDisco(newPath);
  if (newPath.compare(0, SkinsRoot.size(), SkinsRoot) == 0 &&
      SkinFolderOf(name) != SkinsRoot + name + "/")
    return;
  Form4->AddSkin(name);
}

void TForm1::SelectSkin1Click() {
  if (!Form4) return;
  Form4->Skinbox->clear();
  for (const std::string& root : {SkinsRoot, UserSkinsRoot}) {
    TFindFile walk;
    walk.Directory = root;
    walk.Filter = "*.*";
    walk.Recurse = true;
    walk.OnNewPath = [this](TFindFile*, const std::string& newPath, bool&) {
      FindFileSkinNewPath(newPath);
    };
    walk.Execute();
  }

  const std::string remembered = SkinName;
  const auto show = [this](const std::string& name) {
    LoadSkin(SkinFolderOf(name));
    LeggiSkinINI(ColorsFile(name, false));
  };
  Form4->OnPreview = show;
  if (Form4->exec() != 1) {
    SkinName = remembered;
    show(SkinName);
  }
  Form4->OnPreview = nullptr;
}
