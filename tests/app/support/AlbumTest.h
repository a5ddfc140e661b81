// Fixture of the album tests: the window over the fake engine and a fake volume layer with
// one hard disk, the Select Source and Preferences dialogs wired as main() wires them, and
// small MP3 files (a few bytes of "audio" and an optional ID3v1 trailer: the fake engine
// never decodes them).
#pragma once

#include <string>
#include <vector>

#include "FakeVolumeLayer.h"
#include "Form2.h"
#include "Form3.h"
#include "SkinWriter.h"
#include "WindowTest.h"

class QListWidget;

class AlbumTest : public WindowTest {
 protected:
  AlbumTest();

  // A file of 200 bytes ending in an ID3v1 tag with title; an empty title gives a tag
  // whose title field is blank.
  static std::string Tagged(const std::string& title);
  // A file of 300 bytes without a tag.
  static std::string Untagged();
  // A picture of one colour, in the format its name asks for.
  static void WritePicture(const std::string& path, const QColor& color);

  // Sets the source root and loads the album.
  void Load(const std::string& root);
  std::vector<int> Codes() const { return engine.CommandCodes(); }
  // The files opened in the decoder, in order.
  std::vector<std::string> Opened() const;
  static std::vector<std::string> Texts(const QListWidget* list);
  // The rows of the album table as "disc track path title".
  std::vector<std::string> Rows() const;
  // The colour at the middle of the album picture.
  QColor PictureColor() const;

  FakeVolumeLayer volumes;
  TForm2 form2;
  TForm3 form3;
  std::string disk;  // mount point of the hard disk
};
