#include "XaudioPlayer.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <algorithm>
#include <cstdlib>
#include <functional>
#include <memory>
#include <sstream>
#include <thread>

#include "FakeXaudioEngine.h"

namespace {

std::string Show(const std::string& Text) { return '"' + Text + '"'; }
std::string Show(const XA_EqualizerInfo& Eq) {
  return "eq(" + std::to_string(Eq.left[0]) + "," + std::to_string(Eq.left[31]) + "," +
         std::to_string(Eq.right[0]) + "," + std::to_string(Eq.right[31]) + ")";
}
template <typename Number>
std::string Show(Number Value) {
  return std::to_string(+Value);  // + so that 8-bit values print as numbers
}

// Collects message boxes instead of showing them.
class MessageBoxes {
 public:
  MessageBoxes() {
    TXaudioPlayer::ShowErrorMessage = [this](const std::string& Text) { Shown.push_back(Text); };
  }
  ~MessageBoxes() { TXaudioPlayer::ShowErrorMessage = Saved; }
  std::vector<std::string> Shown;

 private:
  std::function<void(const std::string&)> Saved = TXaudioPlayer::ShowErrorMessage;
};

class XaudioPlayerTest : public testing::Test {
 protected:
  // Every event appends "Name arg arg..." to Log; OnNotifyMessage appends "Message code".
  void WatchAll(TXaudioPlayer& P) {
    P.OnNotifyMessage = [this](TXaudioPlayer*, XA_Message& Msg) {
      Log.push_back("Message " + std::to_string(Msg.code));
    };
    Watch(P.OnNotifyReady, "Ready");
    Watch(P.OnNotifyAck, "Ack");
    Watch(P.OnNotifyNack, "Nack");
    Watch(P.OnNotifyPong, "Pong");
    Watch(P.OnNotifyExited, "Exited");
    Watch(P.OnNotifyPlayerState, "PlayerState");
    Watch(P.OnNotifyPlayerMode, "PlayerMode");
    Watch(P.OnNotifyPlayerEnvironmentInteger, "EnvironmentInteger");
    Watch(P.OnNotifyPlayerEnvironmentString, "EnvironmentString");
    Watch(P.OnNotifyInputState, "InputState");
    Watch(P.OnNotifyInputName, "InputName");
    Watch(P.OnNotifyInputCaps, "InputCaps");
    Watch(P.OnNotifyInputPosition, "InputPosition");
    Watch(P.OnNotifyInputPositionRange, "InputPositionRange");
    Watch(P.OnNotifyInputTimecode, "InputTimecode");
    Watch(P.OnNotifyInputTimecodeGranularity, "InputTimecodeGranularity");
    Watch(P.OnNotifyInputDuration, "InputDuration");
    Watch(P.OnNotifyInputStreamInfo, "InputStreamInfo");
    Watch(P.OnNotifyInputModule, "InputModule");
    Watch(P.OnNotifyInputModuleInfo, "InputModuleInfo");
    Watch(P.OnNotifyInputDeviceInfo, "InputDeviceInfo");
    Watch(P.OnNotifyInputFilterInfo, "InputFilterInfo");
    Watch(P.OnNotifyOutputState, "OutputState");
    Watch(P.OnNotifyOutputName, "OutputName");
    Watch(P.OnNotifyOutputCaps, "OutputCaps");
    Watch(P.OnNotifyOutputVolume, "OutputVolume");
    Watch(P.OnNotifyOutputBalance, "OutputBalance");
    Watch(P.OnNotifyOutputPcmLevel, "OutputPcmLevel");
    Watch(P.OnNotifyOutputMasterLevel, "OutputMasterLevel");
    Watch(P.OnNotifyOutputChannels, "OutputChannels");
    Watch(P.OnNotifyOutputPorts, "OutputPorts");
    Watch(P.OnNotifyOutputModule, "OutputModule");
    Watch(P.OnNotifyOutputModuleInfo, "OutputModuleInfo");
    Watch(P.OnNotifyOutputDeviceInfo, "OutputDeviceInfo");
    Watch(P.OnNotifyOutputFilterInfo, "OutputFilterInfo");
    Watch(P.OnNotifyCodecQuality, "CodecQuality");
    Watch(P.OnNotifyCodecEqualizer, "CodecEqualizer");
    Watch(P.OnNotifyNotificationMask, "NotificationMask");
    Watch(P.OnNotifyDebugLevel, "DebugLevel");
    Watch(P.OnNotifyProgress, "Progress");
    Watch(P.OnNotifyDebug, "Debug");
    Watch(P.OnNotifyError, "Error");
  }

  template <typename Event>
  void Watch(Event& Handler, const char* Name) {
    Handler = [this, Name](TXaudioPlayer* Sender, const auto&... Args) {
      std::string Line = Name;
      ((Line += " " + Show(Args)), ...);
      Log.push_back(Line);
      if (Sender != Player.get()) Log.push_back("wrong sender");
      if (QThread::currentThread() != qApp->thread()) Log.push_back("wrong thread");
    };
  }

  std::vector<std::string> TakeLog() { return std::exchange(Log, {}); }

  MessageBoxes Boxes;
  FakeXaudioEngine Fake;
  std::unique_ptr<TXaudioPlayer> Player;
  std::vector<std::string> Log;
};

TEST_F(XaudioPlayerTest, VersionCheckOnlyComplainsAboutAnotherMajorOrMinor) {
  struct Case {
    unsigned Major, Minor, Revision;
    const char* Expected;
  };
  for (const Case& C : {Case{3, 2, 0, nullptr}, Case{3, 2, 255, nullptr},
                        Case{3, 1, 0, "Xaudio DLL API Mismatch\rExpected 3,2\rGot 3,1"},
                        Case{2, 2, 0, "Xaudio DLL API Mismatch\rExpected 3,2\rGot 2,2"},
                        Case{4, 2, 9, "Xaudio DLL API Mismatch\rExpected 3,2\rGot 4,2"}}) {
    SCOPED_TRACE(std::to_string(C.Major) + "." + std::to_string(C.Minor));
    Boxes.Shown.clear();
    Fake.SetVersion(C.Major, C.Minor, C.Revision);
    TXaudioPlayer P(nullptr);
    if (C.Expected == nullptr) {
      EXPECT_TRUE(Boxes.Shown.empty());
    } else {
      EXPECT_EQ(Boxes.Shown, std::vector<std::string>{C.Expected});
    }
    // The player starts either way.
    EXPECT_TRUE(Fake.PlayerAlive());
    EXPECT_EQ(P.Play(), XA_SUCCESS);
  }
  EXPECT_FALSE(Fake.PlayerAlive());
}

TEST_F(XaudioPlayerTest, FailedStartShowsMessageAndNeverCallsTheEngineAgain) {
  Fake.FailPlayerNew();
  {
    TXaudioPlayer P(nullptr);
    EXPECT_EQ(Boxes.Shown, std::vector<std::string>{"Cannot Start Xaudio Player"});
    EXPECT_NE(P.Play(), XA_SUCCESS);
    P.InputOpen("/music/a.mp3");
    P.SetOutputVolume(255, 50, 255);
    P.SetCodecEqualizer(nullptr);
    P.SetPriority(4);
    EXPECT_EQ(P.Priority(), 0u);
    Fake.PostPlayerState(XA_PLAYER_STATE_PLAYING);
    QCoreApplication::processEvents();
  }
  EXPECT_EQ(Fake.Calls(), (std::vector<std::string>{"xaudio_get_api_version", "player_new"}));
  EXPECT_EQ(Fake.DecodedCount(), 0u);
}

TEST_F(XaudioPlayerTest, EveryCommandSendsItsCodeAndArguments) {
  Player = std::make_unique<TXaudioPlayer>(nullptr);
  char Buffer[4] = {};
  const std::string Latin1Path =
      "/m\xE9"
      "dia/01.mp3";  // bytes pass unchanged
  using Texts = std::vector<std::optional<std::string>>;
  struct Case {
    std::function<int(TXaudioPlayer&)> Send;
    std::string Call;
    int Code;
    std::vector<int> Ints;
    Texts Sent;
  };
  const std::vector<Case> Cases = {
      {[](auto& P) { return P.Exit(); }, "N", 1, {}, {}},
      {[](auto& P) { return P.Ping(0xFFFFFFFE); }, "I", 2, {-2}, {}},
      {[](auto& P) { return P.Play(); }, "N", 3, {}, {}},
      {[](auto& P) { return P.Pause(); }, "N", 4, {}, {}},
      {[](auto& P) { return P.Stop(); }, "N", 5, {}, {}},
      {[](auto& P) { return P.InputSeek(200, 400); }, "II", 6, {200, 400}, {}},
      {[&](auto& P) { return P.InputOpen(Latin1Path); }, "S", 7, {}, {Latin1Path}},
      {[](auto& P) { return P.InputClose(); }, "N", 8, {}, {}},
      {[&](auto& P) { return P.InputSendMessage(0xFFFF, Buffer, 4); }, "IPI", 9, {0xFFFF, 4}, {}},
      {[](auto& P) { return P.InputAddFilter("f", 3); }, "SI", 10, {3}, {"f"}},
      {[](auto& P) { return P.InputRemoveFilter("", -1); }, "SI", 11, {-1}, {""}},
      {[](auto& P) { return P.InputFilterList(); }, "N", 12, {}, {}},
      {[](auto& P) { return P.InputModuleRegister("m"); }, "S", 13, {}, {"m"}},
      {[](auto& P) { return P.InputModuleQuery(5); }, "I", 14, {5}, {}},
      {[](auto& P) { return P.InputModulesList(); }, "N", 15, {}, {}},
      {[](auto& P) { return P.OutputOpen("wav:/tmp/x.wav"); }, "S", 16, {}, {"wav:/tmp/x.wav"}},
      {[](auto& P) { return P.OutputClose(); }, "N", 17, {}, {}},
      {[&](auto& P) { return P.OutputSendMessage(7, Buffer, 2); }, "IPI", 18, {7, 2}, {}},
      {[](auto& P) { return P.OutputMute(); }, "N", 19, {}, {}},
      {[](auto& P) { return P.OutputUnmute(); }, "N", 20, {}, {}},
      {[](auto& P) { return P.OutputReset(); }, "N", 21, {}, {}},
      {[](auto& P) { return P.OutputDrain(); }, "N", 22, {}, {}},
      {[](auto& P) { return P.OutputAddFilter("g", 1); }, "SI", 23, {1}, {"g"}},
      {[](auto& P) { return P.OutputRemoveFilter("g", 2); }, "SI", 24, {2}, {"g"}},
      {[](auto& P) { return P.OutputFilterList(); }, "N", 25, {}, {}},
      {[](auto& P) { return P.OutputModuleRegister("o"); }, "S", 26, {}, {"o"}},
      {[](auto& P) { return P.OutputModuleQuery(6); }, "I", 27, {6}, {}},
      {[](auto& P) { return P.OutputModulesList(); }, "N", 28, {}, {}},
      {[](auto& P) { return P.SetPlayerMode(9); }, "I", 29, {9}, {}},
      {[](auto& P) { return P.GetPlayerMode(); }, "N", 30, {}, {}},
      {[](auto& P) { return P.SetPlayerEnvironmentInteger("K", -7); }, "SI", 31, {-7}, {"K"}},
      {[](auto& P) { return P.GetPlayerEnvironmentInteger("K"); }, "S", 32, {}, {"K"}},
      {[](auto& P) { return P.SetPlayerEnvironmentString("OUTPUT", "null"); },
       "SS",
       33,
       {},
       {"OUTPUT", "null"}},
      {[](auto& P) { return P.GetPlayerEnvironmentString("OUTPUT"); }, "S", 34, {}, {"OUTPUT"}},
      {[](auto& P) { return P.UnsetPlayerEnvironment("OUTPUT"); }, "S", 35, {}, {"OUTPUT"}},
      {[](auto& P) { return P.SetInputModule(2); }, "I", 38, {2}, {}},
      {[](auto& P) { return P.GetInputModule(); }, "N", 39, {}, {}},
      {[](auto& P) { return P.SetInputName("in"); }, "S", 36, {}, {"in"}},
      {[](auto& P) { return P.GetInputName(); }, "N", 37, {}, {}},
      {[](auto& P) { return P.SetInputPositionRange(1000); }, "I", 40, {1000}, {}},
      {[](auto& P) { return P.GetInputPositionRange(); }, "N", 41, {}, {}},
      {[](auto& P) { return P.SetInputTimecodeGranularity(10); }, "I", 42, {10}, {}},
      {[](auto& P) { return P.GetInputTimecodeGranularity(); }, "N", 43, {}, {}},
      {[](auto& P) { return P.SetOutputModule(3); }, "I", 46, {3}, {}},
      {[](auto& P) { return P.GetOutputModule(); }, "N", 47, {}, {}},
      {[](auto& P) { return P.SetOutputName("pulse"); }, "S", 44, {}, {"pulse"}},
      {[](auto& P) { return P.GetOutputName(); }, "N", 45, {}, {}},
      {[](auto& P) { return P.SetOutputVolume(255, 50, 255); }, "III", 48, {255, 50, 255}, {}},
      {[](auto& P) { return P.GetOutputVolume(); }, "N", 49, {}, {}},
      {[](auto& P) { return P.SetOutputChannels(2); }, "I", 50, {2}, {}},
      {[](auto& P) { return P.GetOutputChannels(); }, "N", 51, {}, {}},
      {[](auto& P) { return P.SetOutputPorts(4); }, "I", 52, {4}, {}},
      {[](auto& P) { return P.GetOutputPorts(); }, "N", 53, {}, {}},
      {[](auto& P) { return P.SetCodecQuality(200); }, "I", 54, {200}, {}},
      {[](auto& P) { return P.GetCodecQuality(); }, "N", 55, {}, {}},
      {[](auto& P) { return P.SetCodecEqualizer(nullptr); }, "P", 58, {}, {}},
      {[](auto& P) { return P.GetCodecEqualizer(); }, "N", 59, {}, {}},
      {[](auto& P) { return P.SetNotificationMask(0x80000001); }, "I", 60, {-0x7FFFFFFF}, {}},
      {[](auto& P) { return P.GetNotificationMask(); }, "N", 61, {}, {}},
      {[](auto& P) { return P.SetDebugLevel(3); }, "I", 62, {3}, {}},
      {[](auto& P) { return P.GetDebugLevel(); }, "N", 63, {}, {}},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE("code " + std::to_string(C.Code));
    Fake.ClearCommands();
    EXPECT_EQ(C.Send(*Player), XA_SUCCESS);
    ASSERT_EQ(Fake.Commands().size(), 1u);
    const FakeXaudioCommand Sent = Fake.LastCommand();
    EXPECT_EQ(Sent.Call, C.Call);
    EXPECT_EQ(Sent.Code, C.Code);
    EXPECT_EQ(Sent.Ints, C.Ints);
    EXPECT_EQ(Sent.Texts, C.Sent);
    EXPECT_EQ(Sent.Pointer, C.Call == "IPI" ? Buffer : nullptr);
    EXPECT_FALSE(Sent.Equalizer.has_value());
  }
  XA_EqualizerInfo Eq{};
  Eq.left[0] = Eq.right[0] = -40;
  Eq.left[31] = Eq.right[31] = 40;
  Player->SetCodecEqualizer(&Eq);
  const FakeXaudioCommand Sent = Fake.LastCommand();
  EXPECT_EQ(Sent.Code, XA_MSG_SET_CODEC_EQUALIZER);
  EXPECT_EQ(Sent.Pointer, &Eq);
  ASSERT_TRUE(Sent.Equalizer.has_value());
  EXPECT_EQ(Show(*Sent.Equalizer), "eq(-40,40,-40,40)");
}

TEST_F(XaudioPlayerTest, PriorityAndErrorStringGoStraightToTheEngine) {
  Player = std::make_unique<TXaudioPlayer>(nullptr);
  Player->SetPriority(4);
  EXPECT_EQ(Fake.PriorityValue(), 4);
  Player->setProperty("Priority", 1u);
  EXPECT_EQ(Player->Priority(), 1u);
  EXPECT_EQ(Player->ErrorString(XA_ERROR_DECODE), "decoding failed");
  EXPECT_EQ(Player->ErrorString(12345), "");  // the fake knows no text for it
}

// Posts one record of Code whose data Fill sets; Fill may take texts from the fake.
template <typename Fill>
std::function<void(FakeXaudioEngine&)> Record(int Code, Fill SetData) {
  return [=](FakeXaudioEngine& Fake) {
    XA_Message Msg{};
    Msg.code = Code;
    SetData(Msg.data, Fake);
    Fake.Post(Msg);
  };
}

TEST_F(XaudioPlayerTest, EveryNotificationRaisesItsEventWithFieldsFromTheRecord) {
  Player = std::make_unique<TXaudioPlayer>(nullptr);
  WatchAll(*Player);
  XA_EqualizerInfo Eq{};
  Eq.left[0] = 12;
  Eq.left[31] = -3;
  Eq.right[0] = 7;
  Eq.right[31] = -40;
  struct Case {
    int Code;
    std::function<void(FakeXaudioEngine&)> Post;
    std::string Expected;
  };
  const auto Volume = [](auto& D, auto&) { D.volume = {11, 22, 33}; };
  const auto Module = [](auto& D, auto& F) { D.module_info = {4, 2, F.Text("mp"), F.Text("dec")}; };
  const auto Device = [](auto& D, auto& F) {
    D.device_info = {1, 2, 3, F.Text("dev"), F.Text("desc")};
  };
  const auto Filter = [](auto& D, auto& F) { D.filter_info = {F.Text("flt"), 9}; };
  const auto Caps = [](auto& D, auto&) { D.caps = 0xFFFFFFFF; };
  const auto Name = [](auto& D, auto& F) { D.name = F.Text("nm"); };
  // A state wider than a byte shows that only its low byte counts.
  const auto State = [](auto& D, auto&) { D.state = 0x102; };
  const auto Id = [](auto& D, auto&) { D.module_id = -2; };
  const std::vector<Case> Cases = {
      {64, Record(64, [](auto&, auto&) {}), "Ready"},
      {65, Record(65, [](auto& D, auto&) { D.ack.command = 200; }), "Ack 200"},
      {66,
       Record(66,
              [](auto& D, auto&) {
                D.nack = {7, -10};
              }),
       "Nack 7 -10"},
      {67, [](FakeXaudioEngine& F) { F.PostPong(0xFFFFFFFF); }, "Pong 4294967295"},
      {68, Record(68, [](auto&, auto&) {}), "Exited"},
      {69, Record(69, State), "PlayerState 2"},
      {70, Record(70, [](auto& D, auto&) { D.mode = -5; }), "PlayerMode -5"},
      {71,
       Record(71,
              [](auto& D, auto& F) {
                D.environment_integer = {F.Text("K"), -1};
              }),
       "EnvironmentInteger \"K\" -1"},
      {72,
       Record(72,
              [](auto& D, auto& F) {
                D.environment_string = {F.Text("K"), F.Text("V")};
              }),
       "EnvironmentString \"K\" \"V\""},
      {73, [](FakeXaudioEngine& F) { F.PostInputState(0x102); }, "InputState 2"},
      {74, Record(74, Name), "InputName \"nm\""},
      {75, Record(75, Caps), "InputCaps 4294967295"},
      {76, [](FakeXaudioEngine& F) { F.PostPosition(399, 1000); }, "InputPosition 399 1000"},
      {77, Record(77, [](auto& D, auto&) { D.range = 1000; }), "InputPositionRange 1000"},
      {78, [](FakeXaudioEngine& F) { F.PostTimecode(1, 2, 3, 99); }, "InputTimecode 1 2 3 99"},
      {79, Record(79, [](auto& D, auto&) { D.granularity = 10; }), "InputTimecodeGranularity 10"},
      {80, [](FakeXaudioEngine& F) { F.PostDuration(4000000000u); }, "InputDuration 4000000000"},
      {81, [](FakeXaudioEngine& F) { F.PostStreamInfo(320, 3, 48000, 2, 1); },
       "InputStreamInfo 2 1 320 48000 3"},
      {82, Record(82, Id), "InputModule -2"},
      {83, Record(83, Module), "InputModuleInfo 4 2 \"mp\" \"dec\""},
      {84, Record(84, Device), "InputDeviceInfo 1 2 3 \"dev\" \"desc\""},
      {85, Record(85, Filter), "InputFilterInfo 9 \"flt\""},
      {86, Record(86, State), "OutputState 2"},
      {87, Record(87, Name), "OutputName \"nm\""},
      {88, Record(88, Caps), "OutputCaps 4294967295"},
      {89, Record(89, Volume), "OutputVolume 11 22 33"},
      {90, Record(90, Volume), "OutputBalance 33"},
      {91, Record(91, Volume), "OutputPcmLevel 22"},
      {92, Record(92, Volume), "OutputMasterLevel 11"},
      {93, Record(93, [](auto& D, auto&) { D.channels = 2; }), "OutputChannels 2"},
      {94, Record(94, [](auto& D, auto&) { D.ports = 0x1FF; }), "OutputPorts 255"},
      {96, Record(96, Id), "OutputModule -2"},
      {97, Record(97, Module), "OutputModuleInfo 4 2 \"mp\" \"dec\""},
      {98, Record(98, Device), "OutputDeviceInfo 1 2 3 \"dev\" \"desc\""},
      {99, Record(99, Filter), "OutputFilterInfo 9 \"flt\""},
      {100, [](FakeXaudioEngine& F) { F.PostCodecQuality(255); }, "CodecQuality 255"},
      {101, [&](FakeXaudioEngine& F) { F.PostCodecEqualizer(&Eq); },
       "CodecEqualizer eq(12,-3,7,-40)"},
      {101, [](FakeXaudioEngine& F) { F.PostCodecEqualizer(nullptr); },
       "CodecEqualizer eq(0,0,0,0)"},
      {102, Record(102, [](auto& D, auto&) { D.notification_mask = 0x80000000; }),
       "NotificationMask 2147483648"},
      {103, Record(103, [](auto& D, auto&) { D.debug_level = 5; }), "DebugLevel 5"},
      {104,
       Record(104,
              [](auto& D, auto& F) {
                D.progress = {1, 2, -300, F.Text("p")};
              }),
       "Progress 1 2 -300 \"p\""},
      {105,
       Record(105,
              [](auto& D, auto& F) {
                D.debug = {3, 4, F.Text("d")};
              }),
       "Debug 3 4 \"d\""},
      {106, [](FakeXaudioEngine& F) { F.PostError("bad frame", -8, 2); },
       "Error 2 -8 \"bad frame\""},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Expected);
    C.Post(Fake);
    ASSERT_TRUE(Fake.WaitDrained());
    EXPECT_EQ(TakeLog(),
              (std::vector<std::string>{"Message " + std::to_string(C.Code), C.Expected}));
  }
}

TEST_F(XaudioPlayerTest, UnknownCodesAndUnassignedHandlersReachOnlyOnNotifyMessage) {
  Player = std::make_unique<TXaudioPlayer>(nullptr);
  WatchAll(*Player);
  for (int Code : {95, 63, 107, 0, -69, 69 + 256}) Fake.PostCode(Code);
  ASSERT_TRUE(Fake.WaitDrained());
  EXPECT_EQ(TakeLog(), (std::vector<std::string>{"Message 95", "Message 63", "Message 107",
                                                 "Message 0", "Message -69", "Message 325"}));
  Player->OnNotifyOutputPcmLevel = nullptr;
  Fake.PostPcmLevel(50);
  ASSERT_TRUE(Fake.WaitDrained());
  EXPECT_EQ(TakeLog(), std::vector<std::string>{"Message 91"});
}

TEST_F(XaudioPlayerTest, OnNotifyMessageMayRewriteTheRecord) {
  Player = std::make_unique<TXaudioPlayer>(nullptr);
  WatchAll(*Player);
  Player->OnNotifyMessage = [](TXaudioPlayer*, XA_Message& Msg) {
    if (Msg.code == XA_MSG_NOTIFY_PLAYER_STATE) Msg.code = XA_MSG_NOTIFY_INPUT_DURATION;
    if (Msg.code == XA_MSG_NOTIFY_INPUT_POSITION) Msg.data.input_position.offset = 7;
    if (Msg.code == XA_MSG_NOTIFY_CODEC_QUALITY) Msg.code = 95;
  };
  Fake.PostPlayerState(3);
  Fake.PostPosition(200);
  Fake.PostCodecQuality(0);
  ASSERT_TRUE(Fake.WaitDrained());
  EXPECT_EQ(TakeLog(), (std::vector<std::string>{"InputDuration 3", "InputPosition 7 400"}));
}

TEST_F(XaudioPlayerTest, NullTextsArriveAsEmptyStrings) {
  Player = std::make_unique<TXaudioPlayer>(nullptr);
  WatchAll(*Player);
  Player->OnNotifyMessage = nullptr;
  XA_Message Msg{XA_MSG_NOTIFY_ERROR, {}};
  Msg.data.error = {1, -9, nullptr};
  Fake.Post(Msg);
  Msg = {XA_MSG_NOTIFY_OUTPUT_DEVICE_INFO, {}};
  Msg.data.device_info = {1, 0, 0, nullptr, Fake.Text("only description")};
  Fake.Post(Msg);
  Msg = {XA_MSG_NOTIFY_PLAYER_ENVIRONMENT_STRING, {}};
  Fake.Post(Msg);
  ASSERT_TRUE(Fake.WaitDrained());
  EXPECT_EQ(TakeLog(), (std::vector<std::string>{"Error 1 -9 \"\"",
                                                 "OutputDeviceInfo 1 0 0 \"\" \"only description\"",
                                                 "EnvironmentString \"\" \"\""}));
}

TEST_F(XaudioPlayerTest, HandlersThatPumpEventsSeeEveryNotificationOnceInPostingOrder) {
  Player = std::make_unique<TXaudioPlayer>(nullptr);
  WatchAll(*Player);
  Player->OnNotifyMessage = nullptr;
  Player->OnNotifyInputPosition = [this](TXaudioPlayer*, uint32_t Offset, uint32_t) {
    Log.push_back("InputPosition " + std::to_string(Offset));
    QCoreApplication::processEvents();
  };
  std::vector<std::string> Expected;
  for (uint8_t Second = 0; Second < 40; ++Second) {
    Fake.PostTimecode(0, 0, Second);
    Expected.push_back("InputTimecode 0 0 " + std::to_string(Second) + " 0");
    if (Second % 5 == 0) {
      Fake.PostPosition(Second);
      Expected.push_back("InputPosition " + std::to_string(Second));
    }
  }
  ASSERT_TRUE(Fake.WaitDrained());
  EXPECT_EQ(TakeLog(), Expected);
}

TEST_F(XaudioPlayerTest, NotificationsPostedFromAnotherThreadArriveInOrderOnTheGuiThread) {
  Player = std::make_unique<TXaudioPlayer>(nullptr);
  WatchAll(*Player);
  Player->OnNotifyMessage = nullptr;
  constexpr uint32_t Count = 2000;
  std::thread Engine([this] {
    for (uint32_t Second = 0; Second < Count; ++Second) Fake.PostDuration(Second);
  });
  const bool AllHandled = QTest::qWaitFor([this] { return Fake.DecodedCount() == Count; }, 10000);
  Engine.join();
  ASSERT_TRUE(AllHandled);
  std::vector<std::string> Expected;
  for (uint32_t Second = 0; Second < Count; ++Second) {
    Expected.push_back("InputDuration " + std::to_string(Second));
  }
  EXPECT_EQ(TakeLog(), Expected);  // also free of "wrong thread"
}

TEST_F(XaudioPlayerTest, TextsAreCopiedBeforeAnyHandlerRuns) {
  Player = std::make_unique<TXaudioPlayer>(nullptr);
  WatchAll(*Player);
  // The first OnNotifyMessage pumps events, so the engine may decode the second record,
  // which ends the life of the first one's texts, before the first typed event runs.
  bool Pumped = false;
  std::size_t DecodedInPump = 0;
  Player->OnNotifyMessage = [&](TXaudioPlayer*, XA_Message&) {
    if (std::exchange(Pumped, true)) return;
    QCoreApplication::processEvents();
    DecodedInPump = Fake.DecodedCount();
  };
  Fake.PostError("first");
  Fake.PostError("second");
  ASSERT_TRUE(Fake.WaitDrained());
  EXPECT_EQ(DecodedInPump, 2u);  // the case under test did happen
  std::vector<std::string> Texts = TakeLog();
  std::sort(Texts.begin(), Texts.end());
  EXPECT_EQ(Texts, (std::vector<std::string>{"Error 1 -8 \"first\"", "Error 1 -8 \"second\""}));
}

// The same binding over the engine linked into the program.
TEST(XaudioPlayerEngineTest, PingIsAnsweredWithPongOnTheGuiThread) {
  MessageBoxes Boxes;
  TXaudioPlayer P(nullptr, TXaudioEntryPoints::Engine());
  EXPECT_TRUE(Boxes.Shown.empty());
  std::vector<uint32_t> Tags;
  bool OnGuiThread = true;
  P.OnNotifyPong = [&](TXaudioPlayer* Sender, uint32_t Tag) {
    Tags.push_back(Tag);
    OnGuiThread = OnGuiThread && Sender == &P && QThread::currentThread() == qApp->thread();
  };
  EXPECT_EQ(P.Ping(0xDEADBEEF), XA_SUCCESS);
  EXPECT_EQ(P.Ping(7), XA_SUCCESS);
  EXPECT_TRUE(Tags.empty());  // answers are posted, never delivered inside the command
  ASSERT_TRUE(QTest::qWaitFor([&] { return Tags.size() >= 2; }, 5000));
  EXPECT_EQ(Tags, (std::vector<uint32_t>{0xDEADBEEF, 7}));
  EXPECT_TRUE(OnGuiThread);
  P.SetPriority(XA_PRIORITY_HIGHEST);
  EXPECT_EQ(P.Priority(), uint(XA_PRIORITY_HIGHEST));
}

// A mono tone of Seconds at 128 kbit/s, made with sox and lame; empty on failure.
std::string MakeMonoMp3(const QTemporaryDir& Dir, int Seconds) {
  const std::string Wav = Dir.filePath("tone.wav").toStdString();
  const std::string Mp3 = Dir.filePath("tone.mp3").toStdString();
  const std::string Command = "sox -q -n -r 44100 -c 1 '" + Wav + "' synth " +
                              std::to_string(Seconds) + " sine 440 && lame --quiet -m m -b 128 '" +
                              Wav + "' '" + Mp3 + "'";
  return std::system(Command.c_str()) == 0 ? Mp3 : std::string();
}

TEST(XaudioPlayerEngineTest, PlayingAnMp3ReportsDurationStreamAndStatesInOrder) {
  QTemporaryDir Dir;
  ASSERT_TRUE(Dir.isValid());
  const std::string Mp3 = MakeMonoMp3(Dir, 2);
  ASSERT_FALSE(Mp3.empty());
  MessageBoxes Boxes;
  TXaudioPlayer P(nullptr, TXaudioEntryPoints::Engine());
  std::vector<std::string> Log;
  int Elapsed = -1;  // hundredths of a second
  bool TimeWentBack = false;
  P.OnNotifyInputDuration = [&](TXaudioPlayer*, uint32_t Duration) {
    Log.push_back("Duration " + std::to_string(Duration));
  };
  P.OnNotifyInputStreamInfo = [&](TXaudioPlayer*, uint8_t Level, uint8_t Layer, uint16_t Bitrate,
                                  uint16_t Frequency, uint8_t Mode) {
    Log.push_back("Stream " + Show(Level) + " " + Show(Layer) + " " + Show(Bitrate) + " " +
                  Show(Frequency) + " " + Show(Mode));
  };
  P.OnNotifyPlayerState = [&](TXaudioPlayer*, int32_t State) {
    Log.push_back("State " + std::to_string(State));
  };
  P.OnNotifyInputTimecode = [&](TXaudioPlayer*, uint8_t Hours, uint8_t Minutes, uint8_t Seconds,
                                uint8_t Fractions) {
    const int Now = ((Hours * 60 + Minutes) * 60 + Seconds) * 100 + Fractions;
    TimeWentBack = TimeWentBack || Now < Elapsed;
    Elapsed = Now;
  };
  P.OnNotifyError = [&](TXaudioPlayer*, uint8_t, int16_t, const std::string& Msg) {
    Log.push_back("Error " + Msg);
  };
  const auto Index = [&Log](const std::string& Entry) {
    return std::find(Log.begin(), Log.end(), Entry) - Log.begin();
  };
  P.SetPlayerEnvironmentString(XA_ENVIRONMENT_OUTPUT, XA_OUTPUT_NULL_FAST);
  P.InputOpen(Mp3);
  P.Play();
  ASSERT_TRUE(QTest::qWaitFor([&] { return Index("State 3") < std::ssize(Log); }, 20000))
      << testing::PrintToString(Log);
  const auto Playing = Index("State 1");
  EXPECT_LT(Index("Duration 2"), Playing) << testing::PrintToString(Log);
  EXPECT_LT(Index("Stream 1 3 128 44100 3"), Playing) << testing::PrintToString(Log);
  EXPECT_LT(Playing, Index("State 3"));
  // The time goes on to the end of the song (2 s), right after the end of input: that is
  // told as the last sound leaves, and an unpaced sink thins out the reports before it.
  EXPECT_TRUE(QTest::qWaitFor([&] { return Elapsed >= 195; }, 5000)) << Elapsed;
  EXPECT_LE(Elapsed, 210);
  EXPECT_FALSE(TimeWentBack);

  // A file that is not there is reported as an error with a readable text.
  Log.clear();
  P.InputOpen(Dir.filePath("missing.mp3").toStdString());
  const auto IsError = [](const std::string& Entry) { return Entry.rfind("Error ", 0) == 0; };
  ASSERT_TRUE(QTest::qWaitFor([&] { return std::ranges::any_of(Log, IsError); }, 5000));
  EXPECT_GT(std::ranges::find_if(Log, IsError)->size(), std::string("Error ").size());
  EXPECT_TRUE(Boxes.Shown.empty());
}

}  // namespace
