// Plays MP3 files through the decoder engine's C API, one after the other without a gap,
// printing every notification on a line of its own.
#include <poll.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "xaudio.h"

namespace {

struct TOptions {
  std::string output = XA_OUTPUT_DEFAULT;
  std::vector<int> equalizer;
  int volume = -1;
  int seek = -1;
  // Its files play in the order given, so auto means album gain.
  int replayGain = XA_REPLAYGAIN_ALBUM;
  int preampTenths = 0;
  std::vector<std::string> files;
};

void Usage() {
  std::fprintf(stderr,
               "usage: sonavera-play [--output default|null|null-fast|wav:FILE|DRIVER]\n"
               "                     [--eq b1,...,b32] [--volume 0..100] [--seek 0..400]\n"
               "                     [--replaygain off|track|album|auto] [--preamp DB] "
               "FILE...\n"
               "  --eq      32 band gains, -40..40 (0.3 dB steps)\n"
               "  --seek    start the first file at this offset of 400\n"
               "  --replaygain  gain from the songs' tags; auto (the default) is album\n"
               "  --preamp  dB added to tagged songs' gain, -15..15\n");
}

bool ParseInt(const char* text, int low, int high, int& value) {
  char* end = nullptr;
  const long v = std::strtol(text, &end, 10);
  if (end == text || *end != '\0' || v < low || v > high) return false;
  value = static_cast<int>(v);
  return true;
}

bool ParseMode(const std::string& text, int& mode) {
  static const char* const kNames[] = {"off", "track", "album", "auto"};
  for (int i = 0; i < 4; ++i)
    if (text == kNames[i]) mode = i == 3 ? XA_REPLAYGAIN_ALBUM : i;
  return text == "off" || text == "track" || text == "album" || text == "auto";
}

bool ParseDb(const char* text, int& tenths) {
  char* end = nullptr;
  const double v = std::strtod(text, &end);
  if (end == text || *end != '\0' || !(v >= -15 && v <= 15)) return false;
  tenths = static_cast<int>(std::lround(v * 10));
  return true;
}

bool ParseBands(const std::string& text, std::vector<int>& bands) {
  size_t start = 0;
  while (start <= text.size()) {
    const size_t comma = std::min(text.find(',', start), text.size());
    int v = 0;
    if (!ParseInt(text.substr(start, comma - start).c_str(), -128, 127, v)) return false;
    bands.push_back(v);
    start = comma + 1;
  }
  return bands.size() == 32;
}

bool Parse(int argc, char** argv, TOptions& o) {
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    const bool hasValue = i + 1 < argc;
    if (arg == "--output" && hasValue) {
      o.output = argv[++i];
    } else if (arg == "--eq" && hasValue) {
      if (!ParseBands(argv[++i], o.equalizer)) return false;
    } else if (arg == "--volume" && hasValue) {
      if (!ParseInt(argv[++i], 0, 100, o.volume)) return false;
    } else if (arg == "--seek" && hasValue) {
      if (!ParseInt(argv[++i], 0, 400, o.seek)) return false;
    } else if (arg == "--replaygain" && hasValue) {
      if (!ParseMode(argv[++i], o.replayGain)) return false;
    } else if (arg == "--preamp" && hasValue) {
      if (!ParseDb(argv[++i], o.preampTenths)) return false;
    } else if (arg.starts_with("--")) {
      return false;
    } else {
      o.files.push_back(arg);
    }
  }
  return !o.files.empty();
}

void Print(const XA_Message& m) {
  const auto& d = m.data;
  switch (m.code) {
    case XA_MSG_NOTIFY_PLAYER_STATE:
      std::printf("player-state %d\n", d.state);
      break;
    case XA_MSG_NOTIFY_INPUT_STATE:
      std::printf("input-state %d\n", d.state);
      break;
    case XA_MSG_NOTIFY_INPUT_NAME:
      std::printf("input-name %s\n", d.name);
      break;
    case XA_MSG_NOTIFY_INPUT_POSITION:
      std::printf("position %u/%u\n", d.input_position.offset, d.input_position.range);
      break;
    case XA_MSG_NOTIFY_INPUT_TIMECODE:
      std::printf("timecode %02d:%02d:%02d.%02d\n", d.input_timecode.h, d.input_timecode.m,
                  d.input_timecode.s, d.input_timecode.f);
      break;
    case XA_MSG_NOTIFY_INPUT_DURATION:
      std::printf("duration %u\n", d.duration);
      break;
    case XA_MSG_NOTIFY_INPUT_STREAM_INFO:
      std::printf("stream-info level %d layer %d bitrate %d frequency %d mode %d\n",
                  d.input_stream_info.level, d.input_stream_info.layer, d.input_stream_info.bitrate,
                  d.input_stream_info.frequency, d.input_stream_info.mode);
      break;
    case XA_MSG_NOTIFY_OUTPUT_PCM_LEVEL:
      std::printf("pcm-level %d\n", d.volume.pcm_level);
      break;
    case XA_MSG_NOTIFY_PLAYER_ENVIRONMENT_STRING:
      std::printf("environment %s %s\n", d.environment_string.name, d.environment_string.value);
      break;
    case XA_MSG_NOTIFY_NACK:
      std::printf("nack %d %s\n", d.nack.command, xaudio_error_string(d.nack.code));
      break;
    case XA_MSG_NOTIFY_ERROR:
      std::printf("error %s\n", d.error.message);
      break;
    case XA_MSG_NOTIFY_PROGRESS:
      if (d.progress.code == XA_PROGRESS_INPUT_HEARD) {
        std::printf("input-heard %s\n", d.progress.message);
        break;
      }
      std::printf("notify %d\n", m.code);
      break;
    default:
      std::printf("notify %d\n", m.code);
      break;
  }
}

class TPlayback {
 public:
  TPlayback(XA_Player* player, int fd, const TOptions& options)
      : player_(player), fd_(fd), options_(options) {}

  // 0 when every file has been played, 1 after an engine error.
  int Run() {
    Open(0);
    for (;;) {
      pollfd p{fd_, POLLIN, 0};
      if (poll(&p, 1, 1000) < 0) return 1;
      XA_Message m;
      while (control_message_get(player_, &m) == XA_SUCCESS) {
        Print(m);
        if (m.code == XA_MSG_NOTIFY_ERROR) {
          std::fprintf(stderr, "sonavera-play: %s: %s\n", options_.files[current_].c_str(),
                       m.data.error.message);
          return 1;
        }
        if (m.code == XA_MSG_NOTIFY_EXITED) return 0;
        if (m.code == XA_MSG_NOTIFY_PLAYER_STATE && m.data.state == XA_PLAYER_STATE_EOF) Next();
      }
      std::fflush(stdout);
    }
  }

 private:
  void Open(size_t index) {
    current_ = index;
    control_message_send_S(player_, XA_MSG_COMMAND_INPUT_OPEN, options_.files[index].c_str());
    if (index == 0 && options_.seek >= 0)
      control_message_send_II(player_, XA_MSG_COMMAND_INPUT_SEEK, options_.seek, 400);
    control_message_send_N(player_, XA_MSG_COMMAND_PLAY);
  }

  // The next file follows at once, so it joins the end of this one without a gap; after
  // the last one the engine plays out what it holds and exits.
  void Next() {
    if (current_ + 1 < options_.files.size())
      Open(current_ + 1);
    else
      control_message_send_N(player_, XA_MSG_COMMAND_EXIT);
  }

  XA_Player* player_;
  int fd_;
  const TOptions& options_;
  size_t current_ = 0;
};

}  // namespace

int main(int argc, char** argv) {
  TOptions options;
  if (!Parse(argc, argv, options)) {
    Usage();
    return 2;
  }
  XA_Player* player = nullptr;
  int fd = -1;
  if (player_new(&player, &fd) != XA_SUCCESS) {
    std::fprintf(stderr, "sonavera-play: cannot start the decoder engine\n");
    return 1;
  }
  control_message_send_SS(player, XA_MSG_SET_PLAYER_ENVIRONMENT_STRING, XA_ENVIRONMENT_OUTPUT,
                          options.output.c_str());
  control_message_send_SI(player, XA_MSG_SET_PLAYER_ENVIRONMENT_INTEGER,
                          XA_ENVIRONMENT_REPLAYGAIN_PREAMP, options.preampTenths);
  control_message_send_SI(player, XA_MSG_SET_PLAYER_ENVIRONMENT_INTEGER, XA_ENVIRONMENT_REPLAYGAIN,
                          options.replayGain);
  if (options.volume >= 0)
    control_message_send_III(player, XA_MSG_SET_OUTPUT_VOLUME, XA_VOLUME_UNCHANGED, options.volume,
                             XA_VOLUME_UNCHANGED);
  if (!options.equalizer.empty()) {
    XA_EqualizerInfo eq{};
    for (int b = 0; b < 32; ++b)
      eq.left[b] = eq.right[b] = static_cast<signed char>(options.equalizer[b]);
    control_message_send_P(player, XA_MSG_SET_CODEC_EQUALIZER, &eq);
  }
  const int status = TPlayback(player, fd, options).Run();
  player_delete(player);
  return status;
}
