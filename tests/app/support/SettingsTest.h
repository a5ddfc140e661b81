// Fixture of the start-up and settings tests: the window over the fake engine and a fake
// volume layer with one hard disk, its Select Source and Preferences dialogs wired as main()
// wires them, and the settings file in the fixture's own configuration folder. Restart()
// closes the window and starts a fresh one with fresh dialogs, as a second run would.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "FakeVolumeLayer.h"
#include "Form2.h"
#include "Form3.h"
#include "WindowTest.h"

class SettingsTest : public WindowTest {
 protected:
  SettingsTest();
  ~SettingsTest() override;

  std::string Settings() const;
  // Shows the window with the command-line arguments and waits for the first activation
  // to end.
  void Start(const std::vector<std::string>& arguments = {});
  // Closes the window (the settings are written) and starts a new one.
  void Restart(const std::vector<std::string>& arguments = {});
  // A folder of two discs under the hard disk, "Album/Disc1" with two songs and
  // "Album/Disc2" with three; returns the album's folder.
  std::string WriteAlbum();

  FakeVolumeLayer volumes;
  std::string disk;  // mount point of the hard disk
  std::unique_ptr<TForm2> form2;
  std::unique_ptr<TForm3> form3;

 private:
  void Create();
};
