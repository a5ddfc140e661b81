// The colour scheme: reading Colors.ini with its write-back of defaults, applying it to the
// window, writing it back.
#include <QLabel>
#include <filesystem>
#include <regex>

#include "GradProgress.h"
#include "RunLabel.h"
#include "SkinWriter.h"
#include "WindowTest.h"

namespace {

const char* const kDefaultFile =
    "[Colors]\nHighTEXT=$00EAE2B8\nMediumTEXT=$00c0c0c0\nLowTEXT=$00808080\n"
    "PosBarStart=$00A00000\nPosBarend=$00c0c0c0\nPosBarBack=$00C34E00\n"
    "VolBarStart=$00804000\nVolBarend=$00c0c0c0\nVolBarBack=$00C34E00\n";

// How often the line "key=value" occurs in text, the key in any case.
long CountLines(const std::string& text, const std::string& line) {
  const std::regex pattern("(^|\n)" + line + "\n", std::regex::icase);
  return std::distance(std::sregex_iterator(text.begin(), text.end(), pattern),
                       std::sregex_iterator());
}

class ColorsTest : public WindowTest {
 protected:
  ColorsTest() {
    std::filesystem::create_directories(SkinFolder("DEFAULT"));
    std::filesystem::create_directories(SkinFolder("Other"));
  }

  std::string ColorsIni() const { return SkinFolder("DEFAULT") + "Colors.ini"; }

  static TColor TextColor(const QLabel* label) {
    return QColorToColor(label->palette().color(QPalette::WindowText));
  }

  // A scheme of nine different colours, loaded into the window.
  TColorScheme LoadDistinctScheme() {
    TColorScheme scheme;
    std::string text = "[Colors]\n";
    TColor value = 0x010203;
    for (const TColorScheme::TKey& key : TColorScheme::Keys()) {
      scheme.*key.Field = value;
      text += std::string(key.WriteName) + "=" + std::to_string(value) + "\n";
      value += 0x030507;
    }
    WriteText(SkinFolder("Other") + "Colors.ini", text);
    form->LeggiSkinINI(SkinFolder("Other") + "Colors.ini");
    EXPECT_EQ(form->Colors, scheme);
    return scheme;
  }

  void ExpectShown(const TColorScheme& scheme) {
    EXPECT_EQ(form->CDlbl->FontColor(), scheme.HighText);
    EXPECT_EQ(form->Songlbl->FontColor(), scheme.HighText);
    EXPECT_EQ(TextColor(form->CurrTime), scheme.HighText);
    EXPECT_EQ(TextColor(form->Totlbl), scheme.MediumText);
    EXPECT_EQ(TextColor(form->Stereolbl), scheme.MediumText);
    EXPECT_EQ(form->PosBar->StartColor(), scheme.PosBarStart);
    EXPECT_EQ(form->PosBar->EndColor(), scheme.PosBarEnd);
    EXPECT_EQ(form->PosBar->BackColor(), scheme.PosBarBack);
    EXPECT_EQ(form->VolBar->StartColor(), scheme.VolBarStart);
    EXPECT_EQ(form->VolBar->EndColor(), scheme.VolBarEnd);
    EXPECT_EQ(form->VolBar->BackColor(), scheme.VolBarBack);
  }
};

TEST_F(ColorsTest, EmptyFileIsFilledWithTheNineDefaultTexts) {
  LoadDistinctScheme();
  WriteText(ColorsIni(), "");
  form->LeggiSkinINI(ColorsIni());
  EXPECT_EQ(ReadText(ColorsIni()), kDefaultFile);
  EXPECT_EQ(form->Colors, TColorScheme::Defaults());
  EXPECT_EQ(form->Colors.HighText, RGBColor(184, 226, 234));
  EXPECT_EQ(form->Colors.PosBarBack, RGBColor(0, 78, 195));
  ExpectShown(TColorScheme::Defaults());

  // A skin folder without the file gets one.
  std::filesystem::remove(ColorsIni());
  form->LeggiSkinINI(ColorsIni());
  EXPECT_EQ(ReadText(ColorsIni()), kDefaultFile);
}

TEST_F(ColorsTest, ValueThatIsNoNumberStopsTheReadingThere) {
  const TColorScheme previous = LoadDistinctScheme();
  WriteText(ColorsIni(),
            "[Colors]\nHighTEXT=$0000FF00\nMediumTEXT=blue\nLowTEXT=1\nPosBarStart=2\n"
            "PosBarEnd=3\nVolBarBack=4\n");
  form->LeggiSkinINI(ColorsIni());
  TColorScheme expected = previous;
  expected.HighText = RGBColor(0, 255, 0);
  EXPECT_EQ(form->Colors, expected);
  ExpectShown(expected);
}

TEST_F(ColorsTest, KeysAreFoundInAnyCaseAndWrittenBackAsDecimals) {
  WriteText(ColorsIni(), "[colors]\nhightext=65280\nposbarend=$00123456\nVOLBAREND=7\n");
  form->LeggiSkinINI(ColorsIni());
  EXPECT_EQ(form->Colors.HighText, 65280);
  EXPECT_EQ(form->Colors.PosBarEnd, 0x123456);
  EXPECT_EQ(form->Colors.VolBarEnd, 7);

  form->ScriviSkinINI();
  const std::string written = ReadText(ColorsIni());
  EXPECT_EQ(CountLines(written, "HighTEXT=65280"), 1) << written;
  EXPECT_EQ(CountLines(written, "PosBarEnd=1193046"), 1) << written;
  EXPECT_EQ(CountLines(written, "PosBarEnd=.*"), 1) << written;
}

TEST_F(ColorsTest, WriterTakesBarColoursFromTheBarsAndTextColoursFromTheWorkingCopy) {
  form->LeggiSkinINI(ColorsIni());
  form->Colors.LowText = 11;      // an edit not yet applied to the window
  form->Colors.PosBarStart = 12;  // the same for a bar colour: not written yet
  form->VolBar->SetBackColor(13);
  form->ScriviSkinINI();
  const std::string written = ReadText(ColorsIni());
  EXPECT_EQ(CountLines(written, "LowTEXT=11"), 1) << written;
  EXPECT_EQ(CountLines(written, "PosBarStart=10485760"), 1) << written;
  EXPECT_EQ(CountLines(written, "VolBarBack=13"), 1) << written;
}

TEST_F(ColorsTest, WriterStaysInsideTheSkinsRoot) {
  std::filesystem::create_directories(form->SkinsRoot + "../Outside");
  for (const char* name : {"..", "../Outside", ""}) {
    form->SkinName = name;
    form->ScriviSkinINI();
  }
  EXPECT_FALSE(std::filesystem::exists(form->SkinsRoot + "../Colors.ini"));
  EXPECT_FALSE(std::filesystem::exists(form->SkinsRoot + "../Outside/Colors.ini"));
  EXPECT_FALSE(std::filesystem::exists(form->SkinsRoot + "Colors.ini"));
}

TEST_F(ColorsTest, UnwritableFolderStopsAtTheFirstDefaultButStillApplies) {
  const TColorScheme previous = LoadDistinctScheme();
  form->Session.Repeat = true;
  form->LeggiSkinINI(SkinFolder("Missing") + "Colors.ini");
  EXPECT_EQ(form->Colors, previous);
  EXPECT_FALSE(std::filesystem::exists(SkinFolder("Missing")));
  EXPECT_EQ(TextColor(form->replbl), previous.MediumText);
}

TEST_F(ColorsTest, ModeLabelsShowTheirFlags) {
  // Before any scheme: black mode labels.
  EXPECT_EQ(TextColor(form->replbl), clBlack);
  EXPECT_EQ(TextColor(form->Albumlbl), clBlack);
  const TColorScheme scheme = LoadDistinctScheme();
  form->Session.Repeat = true;
  form->Assegnacolori();
  EXPECT_EQ(TextColor(form->replbl), scheme.MediumText);
  EXPECT_EQ(TextColor(form->shufflelbl), scheme.LowText);
  EXPECT_EQ(TextColor(form->Programlbl), scheme.LowText);
  EXPECT_EQ(TextColor(form->Albumlbl), scheme.LowText);
  form->Session.Repeat = false;
  form->Session.Album = true;
  form->Assegnacolori();
  EXPECT_EQ(TextColor(form->replbl), scheme.LowText);
  EXPECT_EQ(TextColor(form->Albumlbl), scheme.MediumText);
}

}  // namespace
