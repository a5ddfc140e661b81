// Skins and colours of the main window: loading a skin's pictures, reading, applying and
// writing its colour scheme, and the Select Skin dialog's flow.
#include <sys/stat.h>

#include <QCheckBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <stdexcept>

#include "AlbumScanner.h"
#include "CaseInsensitive.h"
#include "CoolButton.h"
#include "FEJpeg.h"
#include "FindFile.h"
#include "Form1.h"
#include "Form4.h"
#include "GradProgress.h"
#include "RunLabel.h"

namespace {

bool Exists(const std::string& path) {
  struct stat st;
  return stat(path.c_str(), &st) == 0;
}

}  // namespace

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

void TForm1::LoadSkin(const std::string& folder) {
  const std::pair<TFEJpeg*, const char*> pictures[] = {
      {CDImage, "IMG-Default.bmp"},
      {EQUimg, "IMG-Equ.bmp"},
      {DISPimage, "IMG-Display.bmp"},
      {Sfondo, "IMG-Background.bmp"},
  };
  // One unit: the first picture that fails ends the load; those loaded before it stay.
  try {
    for (const TSkinnedButton& button : SkinnedButtons()) {
      if (!(this->*button.Member)->LoadGlyph(FindIgnoringCase(folder + button.File)))
        throw std::runtime_error(button.File);
    }
    for (const auto& [picture, file] : pictures)
      picture->LoadFromFile(FindIgnoringCase(folder + file));
  } catch (const std::exception&) {
    ShowMessage("Error loading Skin: " + folder);
    return;
  }
  SkinName = EstraiDisco(folder);
}

void TForm1::LeggiSkinINI(const std::string& path) {
  // A missing key gets its default text written back; a value that is no number, or a
  // default that cannot be written, ends the reading there and the later keys keep theirs.
  try {
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
  const std::pair<QLabel*, bool> modes[] = {
      {replbl, Repeat}, {shufflelbl, Shuffle}, {Programlbl, Program}, {Albumlbl, Album}};
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
  // The name may come from a hand-edited settings file: never write outside the skins root.
  if (SkinName.empty() || SkinName == "." || SkinName == ".." ||
      SkinName.find('/') != std::string::npos)
    return;
  // Text colours come from the working copy, bar colours from the bars as they are shown.
  TColorScheme shown = Colors;
  shown.PosBarStart = PosBar->StartColor();
  shown.PosBarEnd = PosBar->EndColor();
  shown.PosBarBack = PosBar->BackColor();
  shown.VolBarStart = VolBar->StartColor();
  shown.VolBarEnd = VolBar->EndColor();
  shown.VolBarBack = VolBar->BackColor();
  try {
    ini.INIFile = FindIgnoringCase(SkinsRoot + SkinName + "/Colors.ini");
    ini.Close();
    ini.Open();
    for (const TColorScheme::TKey& key : TColorScheme::Keys())
      ini.WriteInteger(TColorScheme::kSection, key.WriteName, shown.*key.Field);
  } catch (const std::exception&) {
  }
  ini.Close();
}

void TForm1::FindFileSkinNewPath(const std::string& newPath) {
  if (newPath != SkinsRoot) Form4->AddSkin(EstraiDisco(newPath));
}

void TForm1::SelectSkin1Click() {
  if (!Form4) return;
  Form4->Skinbox->clear();
  TFindFile walk;
  walk.Directory = SkinsRoot;
  walk.Filter = "*.*";
  walk.Recurse = true;
  walk.OnNewPath = [this](TFindFile*, const std::string& newPath, bool&) {
    FindFileSkinNewPath(newPath);
  };
  walk.Execute();

  const std::string remembered = SkinName;
  Form4->OnPreview = [this](const std::string& name) {
    LoadSkin(SkinsRoot + name + "/");
    LeggiSkinINI(SkinsRoot + name + "/Colors.ini");
  };
  if (Form4->exec() != 1) {
    SkinName = remembered;
    LoadSkin(SkinsRoot + SkinName + "/");
    LeggiSkinINI(SkinsRoot + SkinName + "/Colors.ini");
  }
  Form4->OnPreview = nullptr;
}
