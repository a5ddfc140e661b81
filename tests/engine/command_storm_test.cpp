// Thousands of random commands from several threads at once: the engine must neither
// deadlock nor crash, and still shut down cleanly. Meant to run under the sanitizers too.
#include <gtest/gtest.h>
#include <poll.h>

#include <atomic>
#include <random>
#include <thread>

#include "EngineHarness.h"
#include "TestMedia.h"

using namespace std::chrono_literals;

namespace {

constexpr int kSenders = 4;
constexpr int kCommandsEach = 2500;

void SendRandom(XA_Player* player, std::mt19937& random, const std::vector<std::string>& files,
                const std::string& wav) {
  auto pick = [&](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
  const int code = 2 + pick(62);  // anything but Exit
  const int a = pick(3) == 0 ? pick(1000) - 500 : pick(401);
  const int b = pick(4) == 0 ? pick(3) - 1 : 400;
  switch (code) {
    case XA_MSG_COMMAND_INPUT_OPEN:
    case XA_MSG_SET_INPUT_NAME:
      control_message_send_S(player, code, files[pick(files.size())].c_str());
      break;
    case XA_MSG_SET_PLAYER_ENVIRONMENT_STRING: {
      const char* outputs[] = {XA_OUTPUT_NULL, XA_OUTPUT_NULL_FAST, wav.c_str()};
      control_message_send_SS(player, code, XA_ENVIRONMENT_OUTPUT, outputs[pick(3)]);
      break;
    }
    case XA_MSG_SET_CODEC_EQUALIZER: {
      XA_EqualizerInfo eq{};
      for (int i = 0; i < 32; ++i) eq.left[i] = eq.right[i] = static_cast<signed char>(pick(256));
      control_message_send_P(player, code, pick(2) ? &eq : nullptr);
      break;
    }
    case XA_MSG_SET_OUTPUT_NAME:
      control_message_send_S(player, code, XA_OUTPUT_NULL_FAST);
      break;
    case XA_MSG_COMMAND_INPUT_SEND_MESSAGE:
    case XA_MSG_COMMAND_OUTPUT_SEND_MESSAGE:
      control_message_send_IPI(player, code, a, nullptr, b);
      break;
    default:
      // Volume and seeks take three integers; the others ignore what they do not use.
      control_message_send_III(player, code, a, b, pick(300));
      break;
  }
  // Mostly the commands the program sends.
  const int common[] = {XA_MSG_COMMAND_PLAY, XA_MSG_COMMAND_STOP, XA_MSG_COMMAND_PAUSE,
                        XA_MSG_COMMAND_INPUT_SEEK};
  control_message_send_II(player, common[pick(4)], pick(401), 400);
}

TEST(CommandStorm, RandomCommandsFromSeveralThreads) {
  TTempDir dir;
  const std::vector<std::string> files = {
      MakeMp3(dir, "a.mp3", {1.0, 44100, 2, 440, false}),
      MakeMp3(dir, "b.mp3", {1.0, 22050, 1, 300, true}),
      dir.File("missing.mp3"),
  };
  const std::string wav = XA_OUTPUT_WAV_PREFIX + dir.File("storm.wav");
  XA_Player* player = nullptr;
  int fd = -1;
  ASSERT_EQ(player_new(&player, &fd), XA_SUCCESS);
  // Not the sound device: its libraries are not what this test is about.
  control_message_send_SS(player, XA_MSG_SET_PLAYER_ENVIRONMENT_STRING, XA_ENVIRONMENT_OUTPUT,
                          XA_OUTPUT_NULL_FAST);

  std::atomic<bool> exited{false};
  std::atomic<long> received{0};
  std::thread reader([&] {
    const auto deadline = std::chrono::steady_clock::now() + 120s;
    while (!exited && std::chrono::steady_clock::now() < deadline) {
      pollfd p{fd, POLLIN, 0};
      poll(&p, 1, 100);
      XA_Message m;
      while (control_message_get(player, &m) == XA_SUCCESS) {
        ++received;
        if (m.code == XA_MSG_NOTIFY_EXITED) exited = true;
      }
    }
  });
  std::vector<std::thread> senders;
  for (int t = 0; t < kSenders; ++t)
    senders.emplace_back([&, t] {
      std::mt19937 random(1234 + t);
      for (int i = 0; i < kCommandsEach; ++i) {
        SendRandom(player, random, files, wav);
        if (i % 500 == 0) player_set_priority(player, static_cast<int>(random() % 5));
        // Short breaks let the engine decode and play between commands.
        if (i % 10 == 0) std::this_thread::sleep_for(1ms);
      }
    });
  for (auto& s : senders) s.join();
  control_message_send_N(player, XA_MSG_COMMAND_EXIT);
  reader.join();
  EXPECT_TRUE(exited) << "the engine worked through the storm and exited";
  EXPECT_GT(received, 0);
  player_delete(player);
}

TEST(CommandStorm, DeleteWhilePlayingReturnsPromptly) {
  TTempDir dir;
  const std::string song = MakeMp3(dir, "long.mp3", {5.0, 44100, 2, 440, false});
  for (const char* output : {XA_OUTPUT_NULL, XA_OUTPUT_NULL_FAST}) {
    TEngineHarness* engine = new TEngineHarness(output);
    engine->SendText(XA_MSG_COMMAND_INPUT_OPEN, song);
    engine->Send(XA_MSG_COMMAND_PLAY);
    ASSERT_TRUE(engine->WaitForState(XA_PLAYER_STATE_PLAYING, 5s));
    const auto start = std::chrono::steady_clock::now();
    delete engine;
    EXPECT_LT(std::chrono::steady_clock::now() - start, 2s) << output;
  }
}

}  // namespace
