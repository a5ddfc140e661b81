// The engine's command and notification plumbing, without any audio.
#include <gtest/gtest.h>
#include <poll.h>

#include <thread>

#include "EngineHarness.h"

using namespace std::chrono_literals;

namespace {

bool Readable(int fd) {
  pollfd p{fd, POLLIN, 0};
  return poll(&p, 1, 0) == 1;
}

std::vector<int> CodesOf(const std::vector<TNotification>& seen, int code) {
  std::vector<int> out;
  for (const auto& n : seen)
    if (n.code() == code) out.push_back(n.code());
  return out;
}

}  // namespace

TEST(XaudioApi, VersionAndArgumentChecks) {
  const unsigned long v = xaudio_get_api_version(2);
  EXPECT_EQ((v >> 16) & 0xff, 3u);
  EXPECT_EQ((v >> 8) & 0xff, 2u);
  EXPECT_NE(player_new(nullptr, nullptr), XA_SUCCESS);
  EXPECT_EQ(control_message_send_N(nullptr, XA_MSG_COMMAND_PLAY), XA_ERROR_INVALID_PARAMETERS);
  EXPECT_STRNE(xaudio_error_string(XA_ERROR_OPEN_FAILED), xaudio_error_string(XA_ERROR_DECODE));
  player_delete(nullptr);

  TEngineHarness engine("");
  EXPECT_EQ(control_message_send_N(engine.player(), 0), XA_ERROR_INVALID_PARAMETERS);
  EXPECT_EQ(control_message_send_N(engine.player(), 56), XA_ERROR_INVALID_PARAMETERS);
  EXPECT_EQ(control_message_send_N(engine.player(), 64), XA_ERROR_INVALID_PARAMETERS);
  EXPECT_EQ(control_message_send_S(engine.player(), XA_MSG_COMMAND_INPUT_OPEN, nullptr),
            XA_ERROR_INVALID_PARAMETERS);
}

TEST(XaudioApi, NotificationsArriveInOrderThroughTheDescriptor) {
  XA_Player* player = nullptr;
  int fd = -1;
  ASSERT_EQ(player_new(&player, &fd), XA_SUCCESS);
  ASSERT_GE(fd, 0);
  for (int tag = 1; tag <= 50; ++tag) control_message_send_I(player, XA_MSG_COMMAND_PING, tag);

  std::vector<uint32_t> tags;
  const auto deadline = std::chrono::steady_clock::now() + 5s;
  while (tags.size() < 50 && std::chrono::steady_clock::now() < deadline) {
    pollfd p{fd, POLLIN, 0};
    if (poll(&p, 1, 100) != 1) continue;
    XA_Message m;
    while (control_message_get(player, &m) == XA_SUCCESS)
      if (m.code == XA_MSG_NOTIFY_PONG) tags.push_back(m.data.tag);
    EXPECT_FALSE(Readable(fd)) << "descriptor must not stay readable once drained";
  }
  ASSERT_EQ(tags.size(), 50u);
  for (uint32_t i = 0; i < 50; ++i) EXPECT_EQ(tags[i], i + 1);
  XA_Message m;
  EXPECT_EQ(control_message_get(player, &m), XA_ERROR_NO_MESSAGE);
  player_delete(player);
}

TEST(XaudioApi, VolumeReportsOnlyChanges) {
  TEngineHarness engine("");
  engine.Send(XA_MSG_SET_OUTPUT_VOLUME, 255, 50, 255);
  engine.Send(XA_MSG_SET_OUTPUT_VOLUME, 255, 50, 255);
  engine.Send(XA_MSG_SET_OUTPUT_VOLUME, 255, 250, 255);  // out of range: clamped to 100
  engine.Send(XA_MSG_SET_OUTPUT_VOLUME, 255, 100, 255);
  engine.Send(XA_MSG_GET_OUTPUT_VOLUME);
  auto volume = engine.WaitForCode(XA_MSG_NOTIFY_OUTPUT_VOLUME, 5s);
  ASSERT_TRUE(volume);
  EXPECT_EQ(volume->message.data.volume.pcm_level, 100);
  EXPECT_EQ(volume->message.data.volume.master_level, 100);
  EXPECT_EQ(volume->message.data.volume.balance, 50);

  std::vector<int> pcm;
  for (const auto& n : engine.seen())
    if (n.code() == XA_MSG_NOTIFY_OUTPUT_PCM_LEVEL) pcm.push_back(n.message.data.volume.pcm_level);
  EXPECT_EQ(pcm, (std::vector<int>{50, 100}));
  EXPECT_TRUE(CodesOf(engine.seen(), XA_MSG_NOTIFY_OUTPUT_MASTER_LEVEL).empty());
}

TEST(XaudioApi, SettingsAnswerTheirGetCommands) {
  TEngineHarness engine("");
  XA_EqualizerInfo eq{};
  for (int b = 0; b < 32; ++b) eq.left[b] = eq.right[b] = static_cast<signed char>(b - 16);
  control_message_send_P(engine.player(), XA_MSG_SET_CODEC_EQUALIZER, &eq);
  eq.left[0] = 99;  // the engine keeps its own copy
  engine.Send(XA_MSG_GET_CODEC_EQUALIZER);
  auto on = engine.WaitForCode(XA_MSG_NOTIFY_CODEC_EQUALIZER, 5s);
  ASSERT_TRUE(on);
  ASSERT_TRUE(on->hasEqualizer);
  EXPECT_EQ(on->equalizer.left[0], -16);
  EXPECT_EQ(on->equalizer.right[31], 15);

  control_message_send_P(engine.player(), XA_MSG_SET_CODEC_EQUALIZER, nullptr);
  engine.Send(XA_MSG_GET_CODEC_EQUALIZER);
  auto off = engine.WaitForCode(XA_MSG_NOTIFY_CODEC_EQUALIZER, 5s);
  ASSERT_TRUE(off);
  EXPECT_FALSE(off->hasEqualizer);

  engine.Send(XA_MSG_SET_CODEC_QUALITY, 0);
  engine.Send(XA_MSG_GET_CODEC_QUALITY);
  auto quality = engine.WaitForCode(XA_MSG_NOTIFY_CODEC_QUALITY, 5s);
  ASSERT_TRUE(quality);
  EXPECT_EQ(quality->message.data.quality, 0);
  EXPECT_EQ(CodesOf(engine.seen(), XA_MSG_NOTIFY_CODEC_QUALITY).size(), 1u)
      << "setting the quality is not answered";

  control_message_send_SS(engine.player(), XA_MSG_SET_PLAYER_ENVIRONMENT_STRING, "KEY", "value");
  control_message_send_S(engine.player(), XA_MSG_GET_PLAYER_ENVIRONMENT_STRING, "KEY");
  auto env = engine.WaitForCode(XA_MSG_NOTIFY_PLAYER_ENVIRONMENT_STRING, 5s);
  ASSERT_TRUE(env);
  EXPECT_EQ(env->text, "value");

  engine.Send(XA_MSG_GET_INPUT_POSITION_RANGE);
  auto range = engine.WaitForCode(XA_MSG_NOTIFY_INPUT_POSITION_RANGE, 5s);
  ASSERT_TRUE(range);
  EXPECT_EQ(range->message.data.range, 400);
}

TEST(XaudioApi, UnsupportedCommandsAreRefusedAndExitEndsTheQueue) {
  TEngineHarness engine("");
  engine.Send(XA_MSG_COMMAND_INPUT_MODULE_REGISTER);
  auto nack = engine.WaitForCode(XA_MSG_NOTIFY_NACK, 5s);
  ASSERT_TRUE(nack);
  EXPECT_EQ(nack->message.data.nack.command, XA_MSG_COMMAND_INPUT_MODULE_REGISTER);
  EXPECT_EQ(nack->message.data.nack.code, XA_ERROR_UNSUPPORTED);

  EXPECT_EQ(control_message_send_N(engine.player(), XA_MSG_COMMAND_EXIT), XA_SUCCESS);
  EXPECT_EQ(control_message_send_I(engine.player(), XA_MSG_COMMAND_PING, 7), XA_ERROR_EXITED);
  EXPECT_TRUE(engine.WaitForCode(XA_MSG_NOTIFY_EXITED, 5s));
  EXPECT_TRUE(CodesOf(engine.seen(), XA_MSG_NOTIFY_PONG).empty());
}

TEST(XaudioApi, PriorityIsClampedAndKept) {
  TEngineHarness engine("");
  player_set_priority(engine.player(), 0);
  EXPECT_EQ(player_get_priority(engine.player()), 0);
  player_set_priority(engine.player(), 9);
  EXPECT_EQ(player_get_priority(engine.player()), 4);
  player_set_priority(engine.player(), -3);
  EXPECT_EQ(player_get_priority(engine.player()), 0);
}
