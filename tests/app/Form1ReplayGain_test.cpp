// ReplayGain on the main window: the stored keys, the mode the engine gets as Shuffle turns
// auto into track or album gain, and the engine's text on the time display.
#include <QLabel>

#include "SettingsTest.h"
#include "SkinWriter.h"
#include "XaudioPlayer.h"

namespace {

class Form1ReplayGain : public SettingsTest {
 protected:
  // The last value sent for an engine integer; -1000 when none was sent.
  int Sent(const std::string& name) const {
    int value = -1000;
    for (const FakeXaudioCommand& command : engine.Commands())
      if (command.Code == XA_MSG_SET_PLAYER_ENVIRONMENT_INTEGER && command.Texts.at(0) == name)
        value = command.Ints.at(0);
    return value;
  }
  int SentCount() const {
    int count = 0;
    for (const FakeXaudioCommand& command : engine.Commands())
      count += command.Code == XA_MSG_SET_PLAYER_ENVIRONMENT_INTEGER &&
               command.Texts.at(0) == XA_ENVIRONMENT_REPLAYGAIN;
    return count;
  }
  void PostHint(const std::string& text) {
    XA_Message msg{};
    msg.code = XA_MSG_NOTIFY_PLAYER_ENVIRONMENT_STRING;
    msg.data.environment_string.name = engine.Text(XA_ENVIRONMENT_REPLAYGAIN);
    msg.data.environment_string.value = engine.Text(text);
    engine.Post(msg);
    ASSERT_TRUE(engine.WaitDrained());
  }
};

TEST_F(Form1ReplayGain, OddKeysFallBackOrAreClampedAndChoicesSurviveARestart) {
  WriteText(SettingsPath(),
            "[General]\nReplayGain=7\nReplayGainPreamp=40\nReplayGainUntagged=abc\n");
  Start();
  EXPECT_EQ(form->ReplayGainMode, 3);
  EXPECT_EQ(form->ReplayGainPreamp, 15);
  EXPECT_EQ(form->ReplayGainUntagged, 0);
  EXPECT_EQ(Sent(XA_ENVIRONMENT_REPLAYGAIN), XA_REPLAYGAIN_ALBUM) << "auto in album order";
  EXPECT_EQ(Sent(XA_ENVIRONMENT_REPLAYGAIN_PREAMP), 150) << "tenths of a dB";
  EXPECT_EQ(Sent(XA_ENVIRONMENT_REPLAYGAIN_UNTAGGED), 0);

  form->SetReplayGain(0, -4, 6);
  Restart();
  EXPECT_EQ(form->ReplayGainMode, 0);
  EXPECT_EQ(Sent(XA_ENVIRONMENT_REPLAYGAIN), XA_REPLAYGAIN_OFF);
  EXPECT_EQ(Sent(XA_ENVIRONMENT_REPLAYGAIN_PREAMP), -40);
  EXPECT_EQ(Sent(XA_ENVIRONMENT_REPLAYGAIN_UNTAGGED), 60);
}

TEST_F(Form1ReplayGain, AutoFollowsShuffleAndAFixedModeDoesNot) {
  Start();
  EXPECT_EQ(Sent(XA_ENVIRONMENT_REPLAYGAIN), XA_REPLAYGAIN_ALBUM);
  form->shufflebtnClick();
  EXPECT_EQ(Sent(XA_ENVIRONMENT_REPLAYGAIN), XA_REPLAYGAIN_TRACK);
  form->modemodebtnClick();  // album mode under Shuffle still shuffles
  EXPECT_EQ(Sent(XA_ENVIRONMENT_REPLAYGAIN), XA_REPLAYGAIN_TRACK);
  form->shufflebtnClick();
  EXPECT_EQ(Sent(XA_ENVIRONMENT_REPLAYGAIN), XA_REPLAYGAIN_ALBUM);

  form->SetReplayGain(1, 0, 0);
  const int sends = SentCount();
  form->shufflebtnClick();
  form->shufflebtnClick();
  EXPECT_EQ(SentCount(), sends) << "a fixed mode is not sent again";
  EXPECT_EQ(Sent(XA_ENVIRONMENT_REPLAYGAIN), XA_REPLAYGAIN_TRACK);
}

TEST_F(Form1ReplayGain, TheTimeDisplayHintsTheEngineTextUntilReplayGainIsOff) {
  Start();
  PostHint("RG album -6.3 dB");
  EXPECT_EQ(form->CurrTime->toolTip(), "RG album -6.3 dB");
  form->SetReplayGain(0, 0, 0);
  EXPECT_EQ(form->CurrTime->toolTip(), "");
  PostHint("RG album -6.3 dB");  // one already on its way when it was switched off
  EXPECT_EQ(form->CurrTime->toolTip(), "");
}

}  // namespace
