#include "AlbumTest.h"

#include <QFile>
#include <QImage>
#include <QListWidget>
#include <filesystem>

#include "FEJpeg.h"
#include "ListText.h"
#include "SkinWriter.h"

AlbumTest::AlbumTest() : form2(form->ProgramFolder), disk(volumes.AddHardDisk("disk", 1234)) {
  WriteSkin(SkinFolder("DEFAULT"), QColor(0, 0, 200));
  WireDialogs(&form2, &form3);
}

std::string AlbumTest::Tagged(const std::string& title) {
  std::string tag(128, '\0');
  tag.replace(0, 3, "TAG");
  tag.replace(3, title.size(), title);
  if (title.empty()) tag.replace(3, 30, std::string(30, ' '));
  return std::string(72, 'a') + tag;
}

std::string AlbumTest::Untagged() { return std::string(300, 'a'); }

void AlbumTest::WritePicture(const std::string& path, const QColor& color) {
  QImage image(40, 30, QImage::Format_RGB888);
  image.fill(color);
  const bool jpeg = path.ends_with(".jpg") || path.ends_with(".JPG");
  std::filesystem::create_directories(std::filesystem::path(path).parent_path());
  ASSERT_TRUE(image.save(QFile::decodeName(QByteArray::fromStdString(path)), jpeg ? "JPG" : "BMP"));
}

void AlbumTest::Load(const std::string& root) {
  form->Session.Scanner.SourceRoot = root;
  form->LoadAlbum();
}

std::vector<std::string> AlbumTest::Opened() const {
  std::vector<std::string> files;
  for (const FakeXaudioCommand& c : engine.Commands()) {
    if (c.Code == XA_MSG_COMMAND_INPUT_OPEN && !c.Texts.empty() && c.Texts[0])
      files.push_back(*c.Texts[0]);
  }
  return files;
}

std::vector<std::string> AlbumTest::Texts(const QListWidget* list) {
  std::vector<std::string> texts;
  for (int i = 0; i < list->count(); ++i) texts.push_back(ListText(list, i));
  return texts;
}

std::vector<std::string> AlbumTest::Rows() const {
  std::vector<std::string> rows;
  for (int r = 1; r < form->Session.TAB.RowCount(); ++r) {
    std::string row;
    for (int c = 0; c < 4; ++c) row += (c ? " " : "") + form->Session.TAB.Cells(c, r);
    rows.push_back(row);
  }
  return rows;
}

QColor AlbumTest::PictureColor() const {
  const QImage& picture = form->CDImage->Picture();
  return picture.pixelColor(picture.width() / 2, picture.height() / 2);
}
