#include "WindowTest.h"

#include <QApplication>
#include <QDir>
#include <cstdlib>
#include <filesystem>

WindowTest::WindowTest()
    : savedShowMessage_(TForm1::ShowMessage), savedShowNote_(TForm1::ShowNote) {
  TForm1::ShowMessage = [this](const std::string& text) { messages.push_back(text); };
  TForm1::ShowNote = [this](QWidget*, const std::string& text) { notes.push_back(text); };
  const std::string root = dir.path().toStdString() + "/";
  // The settings file of every window under test lies in its own folder, never the user's.
  if (const char* config = getenv("XDG_CONFIG_HOME")) savedConfig_ = config;
  setenv("XDG_CONFIG_HOME", (root + "config").c_str(), 1);
  // So are the user's skins and presets.
  if (const char* data = getenv("XDG_DATA_HOME")) savedData_ = data;
  setenv("XDG_DATA_HOME", (root + "data").c_str(), 1);
  // And the home folder, whose music a first start opens.
  if (const char* home = getenv("HOME")) savedHome_ = home;
  setenv("HOME", (root + "home").c_str(), 1);
  QDir().mkpath(QString::fromStdString(root + "home"));
  QDir().mkpath(QString::fromStdString(root + "config"));
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
  TForm1::ShowNote = savedShowNote_;
  savedConfig_ ? setenv("XDG_CONFIG_HOME", savedConfig_->c_str(), 1) : unsetenv("XDG_CONFIG_HOME");
  savedData_ ? setenv("XDG_DATA_HOME", savedData_->c_str(), 1) : unsetenv("XDG_DATA_HOME");
  savedHome_ ? setenv("HOME", savedHome_->c_str(), 1) : unsetenv("HOME");
}

std::string WindowTest::SettingsPath() const {
  return dir.path().toStdString() + "/config/Sonavera.ini";
}

void WindowTest::WireDialogs(TForm2* form2, TForm3* form3) {
  form->Form2 = form2;
  form->Form3 = form3;
  form2->Form1 = form.get();
  form2->Form3 = form3;
  form3->Form1 = form.get();
}

std::string WindowTest::SkinFolder(const std::string& name) const {
  return form->SkinsRoot + name + "/";
}
