// Path shortening of the folder label.
#include "FileLabel.h"

#include <gtest/gtest.h>

#include <QFile>

namespace {

int Width(const QFontMetrics& fm, const std::string& s) {
  return fm.horizontalAdvance(QFile::decodeName(QByteArray::fromStdString(s)));
}

TEST(FileLabelTest, ShortensFromTheFront) {
  const QFontMetrics fm(QFont("Liberation Sans", 10));
  const std::string path = "C:\\Music\\Rock\\Seventies\\Album";
  auto shorten = [&](int width) { return TFileLabel::ShortText(path, "\\", fm, width); };
  EXPECT_EQ(shorten(Width(fm, path)), path);
  EXPECT_EQ(shorten(Width(fm, path) - 1), "C:\\...\\Rock\\Seventies\\Album");
  EXPECT_EQ(shorten(Width(fm, "C:\\...\\Seventies\\Album")), "C:\\...\\Seventies\\Album");
  EXPECT_EQ(shorten(Width(fm, "C:\\...\\Album")), "C:\\...\\Album");
  // The drive part goes when even one name does not fit beside it.
  EXPECT_EQ(shorten(Width(fm, "C:\\...\\Album") - 1), "...\\Album");
  EXPECT_EQ(shorten(Width(fm, "...\\Album") - 1), "Album");
  EXPECT_EQ(shorten(1), "Album");
}

TEST(FileLabelTest, NativePathsAndOddInput) {
  const QFontMetrics fm(QFont("Liberation Sans", 10));
  const std::string path = "/home/user/Music/Album";
  EXPECT_EQ(TFileLabel::ShortText(path, "/", fm, Width(fm, "/.../Music/Album")),
            "/.../Music/Album");
  EXPECT_EQ(TFileLabel::ShortText(path, "/", fm, Width(fm, "/.../Album") - 1), ".../Album");
  // A trailing separator does not make an empty last name.
  EXPECT_EQ(TFileLabel::ShortText("/media/cdrom/Disc/", "/", fm, Width(fm, ".../Disc")),
            ".../Disc");
  // Nothing to shorten: the text stays whole and is clipped.
  EXPECT_EQ(TFileLabel::ShortText("/", "/", fm, 0), "/");
  EXPECT_EQ(TFileLabel::ShortText("NoSeparatorsHere", "/", fm, 5), "NoSeparatorsHere");
}

TEST(FileLabelTest, LabelFollowsItsWidth) {
  TFileLabel label;
  label.setFont(QFont("Liberation Sans", 10));
  label.setContentsMargins(0, 0, 0, 0);
  const std::string path = "/home/user/Music/Album";
  label.resize(Width(label.fontMetrics(), path) + 10, 20);
  label.SetFileName(path);
  label.show();
  EXPECT_EQ(label.text().toStdString(), path);
  label.resize(Width(label.fontMetrics(), "/.../Album"), 20);
  EXPECT_EQ(label.text().toStdString(), "/.../Album");
  EXPECT_EQ(label.FileName(), path);
  label.SetSeparator("\\");
  EXPECT_EQ(label.text().toStdString(), path);
}

}  // namespace
