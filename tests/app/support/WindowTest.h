// Fixture of the main-window tests: a window over the fake engine, its program folder a
// fresh temporary folder with an empty SKIN/ in it (config/ as XDG_CONFIG_HOME, home/ as HOME), a
// Select Skin dialog, and the message boxes collected instead of shown.
#pragma once

#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "FakeXaudioEngine.h"
#include "Form1.h"
#include "Form2.h"
#include "Form3.h"
#include "Form4.h"

class WindowTest : public testing::Test {
 protected:
  WindowTest();
  ~WindowTest() override;

  // The window's settings file, read at its first show.
  std::string SettingsPath() const;
  // Skins root + name + "/".
  std::string SkinFolder(const std::string& name) const;
  // Points the window and its Select Source and Preferences dialogs at each other as main()
  // does.
  void WireDialogs(TForm2* form2, TForm3* form3);

  FakeXaudioEngine engine;
  QTemporaryDir dir;
  std::unique_ptr<TForm1> form;
  TForm4 form4;
  std::vector<std::string> messages;
  std::vector<std::string> notes;

 private:
  std::function<void(const std::string&)> savedShowMessage_;
  std::function<void(QWidget*, const std::string&)> savedShowNote_;
  std::optional<std::string> savedConfig_;
  std::optional<std::string> savedData_;
  std::optional<std::string> savedHome_;
};
