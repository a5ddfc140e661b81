#include "WindowTest.h"

#include <QApplication>
#include <QDir>
#include <filesystem>

WindowTest::WindowTest() : savedShowMessage_(TForm1::ShowMessage) {
  TForm1::ShowMessage = [this](const std::string& text) { messages.push_back(text); };
  const std::string root = dir.path().toStdString() + "/";
  QDir().mkpath(QString::fromStdString(root + "SKIN"));
  // The pictures the window keeps for itself (micro window, selector headers).
  std::filesystem::copy(SONAVERA_SOURCE_DIR "/assets/runtime/pictures", root + "pictures");
  // Tests close the window and go on.
  QApplication::setQuitOnLastWindowClosed(false);
  form = std::make_unique<TForm1>(root);
  form->Form4 = &form4;
}

WindowTest::~WindowTest() {
  form.reset();
  TForm1::ShowMessage = savedShowMessage_;
}

std::string WindowTest::SkinFolder(const std::string& name) const {
  return form->SkinsRoot + name + "/";
}
