#include "SettingsTest.h"

#include <QTest>

#include "SkinWriter.h"

SettingsTest::SettingsTest() : disk(volumes.AddHardDisk("disk", 1234)) {
  WriteSkin(SkinFolder("DEFAULT"), QColor(0, 0, 200));
  Create();
}

SettingsTest::~SettingsTest() {
  // The window goes before the dialogs it points at.
  form.reset();
}

void SettingsTest::Create() {
  form2 = std::make_unique<TForm2>(form->ProgramFolder);
  form3 = std::make_unique<TForm3>();
  WireDialogs(form2.get(), form3.get());
}

std::string SettingsTest::Settings() const { return ReadText(SettingsPath()); }

void SettingsTest::Start(const std::vector<std::string>& arguments) {
  form->Arguments = arguments;
  form->show();
  ASSERT_TRUE(QTest::qWaitFor([&] { return !form->FirstStart; }, 5000));
}

void SettingsTest::Restart(const std::vector<std::string>& arguments) {
  form->close();
  const std::string programFolder = form->ProgramFolder;
  form.reset();
  form = std::make_unique<TForm1>(programFolder);
  form->Form4 = &form4;
  Create();
  Start(arguments);
}

std::string SettingsTest::WriteAlbum() {
  const std::string album = disk + "/Album";
  const std::string song(300, 'a');
  WriteFiles(album, {{"Disc1/a.mp3", song},
                     {"Disc1/b.mp3", song},
                     {"Disc2/c.mp3", song},
                     {"Disc2/d.mp3", song},
                     {"Disc2/e.mp3", song}});
  return album;
}
