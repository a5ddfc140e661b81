// A sound server that dies, hangs or comes late: the engine reports a failure once, plays
// into the server again once it is back, and never waits on it for long.
#include <gtest/gtest.h>
#include <signal.h>

#include <algorithm>
#include <memory>

#include "EngineHarness.h"
#include "PrivatePulse.h"
#include "TestMedia.h"

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

namespace {

class PulseRecovery : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    media_ = std::make_unique<TTempDir>();
    song_ = MakeMp3(*media_, "long.mp3", {20.0, 44100, 2, 440, false});
  }
  static void TearDownTestSuite() { media_.reset(); }
  void SetUp() override { server_ = std::make_unique<TPrivatePulse>(dir_.path()); }
  void TearDown() override { server_.reset(); }

  void StartServer() {
    if (!server_->Start()) GTEST_SKIP() << "no PulseAudio server could be started here";
  }
  static long Errors(const TEngineHarness& engine) {
    return std::count_if(engine.seen().begin(), engine.seen().end(),
                         [](const TNotification& n) { return n.code() == XA_MSG_NOTIFY_ERROR; });
  }
  // Plays the song until the server has sound of it.
  void PlayUntilHeard(TEngineHarness& engine) {
    engine.SendText(XA_MSG_COMMAND_INPUT_OPEN, song_);
    engine.Send(XA_MSG_COMMAND_PLAY);
    ASSERT_TRUE(engine.WaitForState(XA_PLAYER_STATE_PLAYING, 3s));
    ASSERT_TRUE(server_->HearsSound(3s));
  }

  static std::unique_ptr<TTempDir> media_;
  static std::string song_;
  TTempDir dir_;
  std::unique_ptr<TPrivatePulse> server_;
};

std::unique_ptr<TTempDir> PulseRecovery::media_;
std::string PulseRecovery::song_;

// Killed while playing: one report; Play while it is down reports again and does not claim
// to play; Play once it is back plays into it.
TEST_F(PulseRecovery, PlayAfterARestartReachesTheServer) {
  StartServer();
  TEngineHarness engine("pulse");
  PlayUntilHeard(engine);
  server_->Signal(SIGKILL);
  const auto failure = engine.WaitForCode(XA_MSG_NOTIFY_ERROR, 3s);
  ASSERT_TRUE(failure);
  EXPECT_EQ(failure->message.data.error.source, XA_SOURCE_OUTPUT);
  engine.Drain(500ms);
  EXPECT_EQ(Errors(engine), 1);

  engine.Send(XA_MSG_COMMAND_STOP);
  ASSERT_TRUE(engine.WaitForState(XA_PLAYER_STATE_STOPPED, 1s));
  engine.ClearSeen();
  engine.Send(XA_MSG_COMMAND_PLAY);
  EXPECT_TRUE(engine.WaitForCode(XA_MSG_NOTIFY_ERROR, 3s));
  EXPECT_FALSE(engine.WaitForState(XA_PLAYER_STATE_PLAYING, 500ms));

  StartServer();
  server_->ClearHeard();
  engine.Send(XA_MSG_COMMAND_PLAY);
  EXPECT_TRUE(engine.WaitForState(XA_PLAYER_STATE_PLAYING, 3s));
  EXPECT_TRUE(server_->HearsSound(3s));
}

// The login race: a player whose default output found no server plays into it a few
// seconds after it comes up, without a word.
TEST_F(PulseRecovery, APlayerStartedFirstPlaysOnceTheServerIsUp) {
  TEngineHarness engine(XA_OUTPUT_DEFAULT);
  engine.SendText(XA_MSG_COMMAND_INPUT_OPEN, song_);
  engine.Send(XA_MSG_COMMAND_PLAY);
  ASSERT_TRUE(engine.WaitForState(XA_PLAYER_STATE_PLAYING, 3s));
  engine.Drain(500ms);
  StartServer();
  EXPECT_TRUE(server_->HearsSound(5s));
  EXPECT_EQ(Errors(engine), 0);
}

// A stopped server fails the output within seconds rather than holding it; once it goes
// on, Play plays into it again.
TEST_F(PulseRecovery, AStoppedServerFailsTheOutputAndComesBack) {
  StartServer();
  TEngineHarness engine("pulse");
  PlayUntilHeard(engine);
  server_->Signal(SIGSTOP);
  EXPECT_TRUE(engine.WaitForCode(XA_MSG_NOTIFY_ERROR, 5s));
  engine.Send(XA_MSG_COMMAND_STOP);
  server_->Signal(SIGCONT);
  server_->ClearHeard();
  engine.Send(XA_MSG_COMMAND_PLAY);
  EXPECT_TRUE(engine.WaitForState(XA_PLAYER_STATE_PLAYING, 3s));
  EXPECT_TRUE(server_->HearsSound(3s));
}

// Closing, as the window does (Stop, Exit, delete), while the server is stopped in the
// middle of a write, and while a Play waits for it to answer a new connection.
TEST_F(PulseRecovery, ClosingNeverWaitsForAStoppedServer) {
  StartServer();
  {
    auto engine = std::make_unique<TEngineHarness>("pulse");
    PlayUntilHeard(*engine);
    server_->Signal(SIGSTOP);
    std::this_thread::sleep_for(300ms);
    const auto start = Clock::now();
    engine->Send(XA_MSG_COMMAND_STOP);
    engine->Send(XA_MSG_COMMAND_EXIT);
    engine.reset();
    EXPECT_LT(Clock::now() - start, 1s);
  }
  {
    auto engine = std::make_unique<TEngineHarness>("pulse");
    engine->SendText(XA_MSG_COMMAND_INPUT_OPEN, song_);
    engine->Send(XA_MSG_COMMAND_PLAY);
    std::this_thread::sleep_for(300ms);
    const auto start = Clock::now();
    engine.reset();
    EXPECT_LT(Clock::now() - start, 1s);
  }
  server_->Signal(SIGCONT);
}

}  // namespace
