// What the player shows of real-world files: UTF-8 file names, ID3v2 titles and embedded
// covers where the ID3v1 trailer and the folder have none, and titles and names that look
// like markup shown as they are.
#include <QBuffer>
#include <QLabel>
#include <QListWidget>

#include "AlbumTest.h"
#include "FEJpeg.h"
#include "FileLabel.h"
#include "Id3v2Bytes.h"
#include "RunLabel.h"

namespace {

using Lines = std::vector<std::string>;

std::string Utf16Text(const std::string& utf8) {
  const QString text = QString::fromUtf8(utf8);
  std::string bytes = "\x01\xff\xfe";  // UTF-16 with a little-endian byte-order mark
  for (QChar c : text) bytes += {char(c.unicode() & 0xff), char(c.unicode() >> 8)};
  return bytes + std::string(2, '\0');
}

std::string Utf8Text(const std::string& utf8) { return "\x03" + utf8; }

class TitlesTest : public AlbumTest {
 protected:
  QStringList Shown(const QListWidget* list) const {
    QStringList shown;
    for (int i = 0; i < list->count(); ++i) shown << list->item(i)->text();
    return shown;
  }
};

TEST_F(TitlesTest, FileNameTitlesAreCutAtCharactersAndShownAsUtf8) {
  WriteFiles(disk,
             {{"Names/09 Привет мир песня длинная.mp3", Untagged()},
              {"Names/10 Καλημέρα κόσμε τραγούδι μακρύ.mp3", Untagged()},
              {"Names/11 こんにちは世界とても長い歌の名前です本当に長い題名の歌.mp3", Untagged()}});
  Load(disk + "/Names");
  EXPECT_EQ(Shown(form->SongList),
            (QStringList{"1. 09 Привет мир песня длинная.mp", "2. 10 Καλημέρα κόσμε τραγούδι μακ",
                         "3. 11 こんにちは世界とても長い歌の名前です本当に長い題名の歌"}));
  EXPECT_EQ(form->MicroSong->text(), "1. 09 Привет мир песня длинная.mp");
}

TEST_F(TitlesTest, Id3v2TitleWhereTheId3v1TrailerHasNone) {
  WriteFiles(disk,
             {{"V2/01.mp3", Id3v2(3, {{"TIT2", Utf16Text("Ünïcode – UTF-16 title")}}) + Untagged()},
              {"V2/02.mp3", Id3v2(4, {{"TIT2", Utf8Text("Grüße aus Köln ♫")}}) + Untagged()},
              {"V2/03.mp3", Id3v2(4, {{"TIT2", Utf8Text("v2 title")}}) + Tagged("v1 title")},
              {"V2/04.mp3", Id3v2(3, {{"TIT2", Utf16Text("Only in v2")}}) + Tagged("")},
              {"V2/05 no title.mp3", Id3v2(3, {{"TPE1", Utf8Text("Artist")}}) + Untagged()},
              {"V2/06 empty.mp3", Id3v2(4, {}) + Tagged("")}});
  Load(disk + "/V2");
  EXPECT_EQ(Shown(form->SongList),
            (QStringList{"1. Ünïcode – UTF-16 title", "2. Grüße aus Köln ♫", "3. v1 title",
                         "4. Only in v2", "5. 05 no title.mp3", "6. 06 empty"}));
}

TEST_F(TitlesTest, EmbeddedCoverWhereTheFolderHasNoPicture) {
  WriteFiles(
      disk, {{"Cover/01.mp3", Id3v2(3, {{"APIC", Picture(Jpeg(QColor(0, 250, 0)))}}) + Untagged()},
             {"Cover/02.mp3", Id3v2(3, {{"APIC", Picture(Jpeg(QColor(250, 0, 0)))}}) + Untagged()},
             // A back cover gives way to the front cover after it.
             {"Front/01.mp3", Id3v2(3, {{"APIC", Picture(Jpeg(QColor(250, 0, 0)), 4)},
                                        {"APIC", Picture(Jpeg(QColor(250, 250, 0)))}}) +
                                  Untagged()},
             {"Broken/01.mp3", Id3v2(3, {{"APIC", Picture("\xff\xd8 not really")}}) + Untagged()}});
  form->ShowPage("page1");
  Load(disk + "/Cover");
  EXPECT_GT(PictureColor().green(), 200);  // the first song's picture
  EXPECT_LT(PictureColor().red(), 50);
  form->CaricaIMG(disk + "/Front/");
  EXPECT_GT(PictureColor().red(), 200);
  EXPECT_GT(PictureColor().green(), 200);
  // A broken picture gives the skin's default one.
  form->CaricaIMG(disk + "/Broken/");
  EXPECT_EQ(PictureColor(), QColor(0, 0, 200));
  // A picture file in the folder comes first.
  WritePicture(disk + "/Cover/folder.bmp", QColor(0, 0, 0));
  form->CaricaIMG(disk + "/Cover/");
  EXPECT_EQ(PictureColor(), QColor(0, 0, 0));
}

// Tags TagLib lists no frames of, or reads as empty, as some encoders and players write them.
TEST_F(TitlesTest, TitlesAndCoversOfTagsOnlyATolerantReaderTakes) {
  std::string noBom = "\x01";
  for (char c : std::string("Sans BOM")) noBom += {c, '\0'};
  // 2.3, unsynchronised, with an extended header: 0xFF 0xE0 in the title is stored 0xFF 0x00 0xE0.
  const std::string frame = std::string("TIT2\0\0\0\x06\0\0\0Caf\xff\0\xe0", 17);
  const std::string extended("\0\0\0\x06\0\0\0\0\0\0", 10);
  const std::string unsync = std::string("ID3\x03\0\xc0", 6) + SyncSafe(27) + extended + frame;
  const std::string v22 =
      std::string("ID3\x02\0\0", 6) + SyncSafe(14) + std::string("TT2\0\0\x08\0Two-two", 14);
  WriteFiles(disk,
             {{"T/01.mp3",
               Id3v2(4, {{"TPE1", ""}, {"TIT2", Utf8Text(std::string(300, 'x'))}}) + Untagged()},
              {"T/02.mp3", Id3v2(3, {{"Date", std::string("\0002020", 5)},
                                     {"TIT2", std::string("\0Odd first frame", 16)}}) +
                               Untagged()},
              {"T/03.mp3", Id3v2(3, {{"TIT2", noBom + std::string(2, '\0')}}) + Untagged()},
              {"T/04.mp3", unsync + Untagged()},
              {"T/05.mp3", v22 + Untagged()},
              {"Mcdi/01.mp3",
               Id3v2(3, {{"MCDI", ""}, {"APIC", Picture(Jpeg(QColor(0, 250, 0)))}}) + Untagged()}});
  Load(disk + "/T");
  EXPECT_EQ(Shown(form->SongList),
            (QStringList{"1. " + QString(255, 'x'), "2. Odd first frame", "3. Sans BOM",
                         QString::fromUtf8("4. Caf\xc3\xbf\xc3\xa0"), "5. Two-two"}));
  form->ShowPage("page1");
  form->CaricaIMG(disk + "/Mcdi/");
  EXPECT_GT(PictureColor().green(), 200);
  EXPECT_LT(PictureColor().red(), 50);
}

// Renders label and a plain-text twin of it in the same place.
bool RendersAsPlainText(QLabel* label) {
  QLabel twin(label->parentWidget());
  twin.setGeometry(label->geometry());
  twin.setFont(label->font());
  twin.setPalette(label->palette());
  twin.setAlignment(label->alignment());
  twin.setTextFormat(Qt::PlainText);
  twin.setText(label->text());
  return twin.grab().toImage() == label->grab().toImage();
}

TEST_F(TitlesTest, TitlesAndNamesThatLookLikeMarkupShowLiterally) {
  WriteFiles(disk, {{"Tom & Jerry &amp; <b>Co/1.mp3", Tagged("<u>Under</u> &lt;tag&gt;")}});
  Load(disk + "/Tom & Jerry &amp; <b>Co");
  form->Microview1Click();
  EXPECT_EQ(form->MicroCD->text(), "1. TOM & JERRY &AMP; <B>CO");
  EXPECT_EQ(form->MicroSong->text(), "1. <u>Under</u> &lt;tag&gt;");
  EXPECT_TRUE(RendersAsPlainText(form->MicroCD));
  EXPECT_TRUE(RendersAsPlainText(form->MicroSong));
  // The hint would show as markup too.
  EXPECT_TRUE(form->MicroSong->toolTip().contains("&lt;u&gt;"));

  form2.CurrDir->SetFileName("/x/<i>folder</i> &amp;");
  EXPECT_EQ(form2.CurrDir->text(), "/x/<i>folder</i> &amp;");
  EXPECT_EQ(form2.CurrDir->textFormat(), Qt::PlainText);
}

}  // namespace
