// The time, duration and stream labels fill in from the real engine playing a generated
// song on the paced null sink.
#include <gtest/gtest.h>

#include <QLabel>
#include <QTemporaryDir>
#include <QTest>
#include <cstdlib>

#include "Form1.h"
#include "GradProgress.h"
#include "XaudioPlayer.h"

namespace {

TEST(Form1PlaybackTest, RealEngineFillsTheTimeAndStreamLabels) {
  QTemporaryDir dir;
  const std::string folder = dir.path().toStdString() + "/";
  const std::string mp3 = folder + "tone.mp3";
  const std::string make = "sox -q -n -r 44100 -c 1 '" + folder + "tone.wav' synth 3 sine 330 && " +
                           "lame --quiet -m m -b 96 '" + folder + "tone.wav' '" + mp3 + "'";
  ASSERT_EQ(std::system(make.c_str()), 0);

  std::vector<std::string> messages;
  const auto savedShowMessage = TForm1::ShowMessage;
  TForm1::ShowMessage = [&](const std::string& text) { messages.push_back(text); };
  {
    TForm1 form(SONAVERA_SOURCE_DIR "/assets/runtime/", TXaudioEntryPoints::Engine());
    form.XAudio->SetPlayerEnvironmentString(XA_ENVIRONMENT_OUTPUT, XA_OUTPUT_NULL);
    form.XAudio->InputOpen(mp3);
    form.XAudio->Play();

    EXPECT_TRUE(QTest::qWaitFor([&] { return form.Playing; }, 5000));
    EXPECT_TRUE(QTest::qWaitFor([&] { return form.CurrTime->text() == "00:01"; }, 5000));
    EXPECT_EQ(form.Totlbl->text(), "00:03");
    EXPECT_EQ(form.Bitratelbl->text(), "96 KBs");
    EXPECT_EQ(form.Stereolbl->text(), "MONO");
    EXPECT_EQ(form.lblDisplay2->text(), "00:01");
    EXPECT_GT(form.PosBar->Position(), 100);
    EXPECT_LT(form.PosBar->Position(), 300);
    // Played to its end: the engine's report clears the flag.
    EXPECT_TRUE(QTest::qWaitFor([&] { return !form.Playing; }, 8000));
    EXPECT_TRUE(messages.empty());
    form.XAudio->Exit();
  }
  TForm1::ShowMessage = savedShowMessage;
}

}  // namespace
