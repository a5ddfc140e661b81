// The labels fill in from the real engine playing a generated song on the paced null sink.
#include <gtest/gtest.h>

#include <QLabel>
#include <QTemporaryDir>
#include <QTest>

#include "Form1.h"
#include "GradProgress.h"
#include "TestSongs.h"
#include "XaudioPlayer.h"

TEST(Form1PlaybackTest, RealEngineFillsTheTimeAndStreamLabels) {
  QTemporaryDir dir;
  const std::string mp3 = dir.filePath("tone.mp3").toStdString();
  TTestSong tone;
  tone.Seconds = 3;
  tone.Kbps = 96;
  tone.Frequency = 330;
  ASSERT_TRUE(MakeSong(mp3, tone));

  std::vector<std::string> messages;
  const auto showMessage = TForm1::ShowMessage;
  TForm1::ShowMessage = [&](const std::string& text) { messages.push_back(text); };
  TForm1 form(SONAVERA_SOURCE_DIR "/assets/runtime/", TXaudioEntryPoints::Engine());
  form.XAudio->SetPlayerEnvironmentString(XA_ENVIRONMENT_OUTPUT, XA_OUTPUT_NULL);
  form.XAudio->InputOpen(mp3);
  form.XAudio->Play();
  EXPECT_TRUE(QTest::qWaitFor([&] { return form.lblDisplay2->text() == "00:01"; }, 5000));
  EXPECT_TRUE(form.Session.Playing);
  EXPECT_EQ(form.Totlbl->text(), "00:03");
  EXPECT_EQ(form.Bitratelbl->text(), "96 KBs");
  EXPECT_EQ(form.Stereolbl->text(), "MONO");
  EXPECT_GT(form.PosBar->Position(), 100);
  // Played to its end: the engine's report clears the flag.
  EXPECT_TRUE(QTest::qWaitFor([&] { return !form.Session.Playing; }, 8000));
  EXPECT_TRUE(messages.empty());
  TForm1::ShowMessage = showMessage;
}
