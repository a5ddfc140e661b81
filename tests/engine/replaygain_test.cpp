// ReplayGain from every format's tags, heard through the WAV sink: the level moves by the
// tag's gain, bad values are ignored, and nothing ever goes over full scale.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cmath>
#include <cstdlib>
#include <memory>

#include "Decoder.h"
#include "EngineHarness.h"
#include "TestMedia.h"

namespace {

using xaudio::TGainTags;
using xaudio::TReplayGain;

void Shell(const std::string& command) { ASSERT_EQ(std::system(command.c_str()), 0) << command; }

std::string Be32(uint32_t v, bool syncSafe) {
  if (syncSafe) v = (v & 0x7f) | (v & 0x3f80) << 1 | (v & 0x1fc000) << 2 | (v & 0xfe00000) << 3;
  return {static_cast<char>(v >> 24), static_cast<char>(v >> 16), static_cast<char>(v >> 8),
          static_cast<char>(v)};
}

// An Ogg Opus file whose identification header asks for `q78` (dB in Q7.8) of output gain,
// with its page's checksum made anew.
std::string WithOpusHeaderGain(std::string ogg, int16_t q78) {
  const size_t head = ogg.find("OpusHead");
  if (head == std::string::npos || ogg.compare(0, 4, "OggS") != 0) return {};
  ogg[head + 16] = static_cast<char>(q78 & 0xff);
  ogg[head + 17] = static_cast<char>(q78 >> 8 & 0xff);
  const auto segments = static_cast<unsigned char>(ogg[26]);
  size_t end = 27 + segments;
  for (size_t i = 0; i < segments; ++i) end += static_cast<unsigned char>(ogg[27 + i]);
  std::fill(ogg.begin() + 22, ogg.begin() + 26, '\0');
  uint32_t crc = 0;
  for (size_t i = 0; i < end; ++i) {
    crc ^= uint32_t{static_cast<unsigned char>(ogg[i])} << 24;
    for (int bit = 0; bit < 8; ++bit) crc = crc & 0x80000000u ? crc << 1 ^ 0x04c11db7u : crc << 1;
  }
  for (int i = 0; i < 4; ++i) ogg[22 + i] = static_cast<char>(crc >> 8 * i);
  return ogg;
}

// An ID3v2 tag of the given version holding `frames` (id, body) in front of `mp3`.
void PrependId3(const std::string& mp3, const std::string& out, int version,
                const std::vector<std::pair<std::string, std::string>>& frames) {
  std::string body;
  for (const auto& [id, data] : frames)
    body += id + Be32(data.size(), version == 4) + '\0' + '\0' + data;
  WriteBytes(out, std::string("ID3") + static_cast<char>(version) + '\0' + '\0' +
                      Be32(body.size(), true) + body + ReadBytes(mp3));
}

class ReplayGain : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    dir_ = std::make_unique<TTempDir>();
    const std::string d = "cd '" + dir_->path() + "' && ";
    // 441 Hz: exactly 100 frames a period, so any whole number of periods measures alike.
    Shell(d + "sox -n -r 44100 -c 2 -b 16 tone.wav synth 2 sine 441 vol 0.25");
    Shell(d + "sox -n -r 44100 -c 2 -b 16 sweep.wav synth 2 sine 20:20000 vol 1.0");
    Shell(d +
          "flac -s -f tone.wav sweep.wav && oggenc -Q tone.wav && opusenc --quiet tone.wav "
          "tone.opus" +
          " && opusenc --quiet --comment R128_TRACK_GAIN=-2560 tone.wav r128.opus" +
          " && lame --quiet -b 192 --noreplaygain tone.wav plain.mp3" +
          " && lame -b 192 tone.wav lame.mp3 2>&1 | grep -o 'ReplayGain: [-+0-9.]*' > lame.txt");
    Shell(
        d + "cp tone.flac track.flac && metaflac --set-tag='REPLAYGAIN_TRACK_GAIN=-6.30 dB' " +
        "--set-tag=replaygain_album_gain=-3.00 track.flac && cp tone.flac bad.flac && " +
        "metaflac --set-tag='REPLAYGAIN_TRACK_GAIN=+inf dB' --set-tag=REPLAYGAIN_ALBUM_GAIN=1000 " +
        "bad.flac && cp tone.ogg album.ogg && vorbiscomment -a -t 'REPLAYGAIN_ALBUM_GAIN=-4.5 "
        "dB' " +
        "album.ogg && cp sweep.flac loud.flac && metaflac --set-tag=REPLAYGAIN_TRACK_GAIN=+9 " +
        "loud.flac && cp tone.flac peak.flac && metaflac --set-tag=REPLAYGAIN_TRACK_GAIN=+9 " +
        "--set-tag=REPLAYGAIN_TRACK_PEAK=0.5 peak.flac");
    const std::string plain = dir_->File("plain.mp3");
    PrependId3(plain, dir_->File("txxx.mp3"), 4,
               {{"TXXX", std::string("\3replaygain_track_gain\0-7.25 dB", 31)}});
    // RVA2 "track", master channel, -4 dB = -2048/512, no peak; then +9 dB with a 16-bit
    // peak of 0.5.
    PrependId3(plain, dir_->File("rva2.mp3"), 3,
               {{"RVA2", std::string("track\0\1\xf8\x00\0", 10)}});
    PrependId3(plain, dir_->File("rva2-peak.mp3"), 4,
               {{"RVA2", std::string("track\0\1\x12\x00\x10\x40\x00", 12)}});
    Shell(d + "lame --quiet --replaygain-accurate -b 192 tone.wav measured.mp3");
    WriteBytes(dir_->File("header-gain.opus"),
               WithOpusHeaderGain(ReadBytes(dir_->File("tone.opus")), -1536));
  }
  static void TearDownTestSuite() { dir_.reset(); }

  // The level heard, in dB, of `name` played with ReplayGain `mode` and pre-amps in tenths.
  static double HeardDb(const std::string& name, int mode, int tagged = 0, int untagged = 0) {
    const std::string out = dir_->File("out.wav");
    {
      TEngineHarness h(XA_OUTPUT_WAV_PREFIX + out);
      control_message_send_SI(h.player(), XA_MSG_SET_PLAYER_ENVIRONMENT_INTEGER,
                              XA_ENVIRONMENT_REPLAYGAIN_PREAMP, tagged);
      control_message_send_SI(h.player(), XA_MSG_SET_PLAYER_ENVIRONMENT_INTEGER,
                              XA_ENVIRONMENT_REPLAYGAIN_UNTAGGED, untagged);
      control_message_send_SI(h.player(), XA_MSG_SET_PLAYER_ENVIRONMENT_INTEGER,
                              XA_ENVIRONMENT_REPLAYGAIN, mode);
      h.PlayInTurn({dir_->File(name)});
    }
    TWav wav = ReadWav(out);
    wav.samples = WithoutSilence(wav);
    // Whole periods from the middle, away from encoder ramps at either end.
    return 20 * std::log10(Rms(wav, 20000, 40000));
  }

  static std::unique_ptr<TTempDir> dir_;
};

std::unique_ptr<TTempDir> ReplayGain::dir_;

TEST(GainTags, MalformedValuesAreIgnoredAndGainsClamped) {
  float db = 0;
  for (const char* bad : {"+inf dB", "abc", "1000 dB", "nan", "1e3", "-6.3 dBx", "", " dB", "--1"})
    EXPECT_FALSE(TGainTags::ParseGain(bad, db)) << bad;
  ASSERT_TRUE(TGainTags::ParseGain(" -6.30 DB ", db));
  EXPECT_FLOAT_EQ(db, -6.3f);
  ASSERT_TRUE(TGainTags::ParseGain("+25", db));
  EXPECT_FLOAT_EQ(db, 20.0f);
  TGainTags tags;
  tags.AddComment("Replaygain_Album_Gain=-45 dB");
  tags.AddComment("REPLAYGAIN_TRACK_PEAK=inf");
  tags.AddComment("R128_ALBUM_GAIN=1.5");
  EXPECT_FLOAT_EQ(tags.albumGain, -20.0f);
  EXPECT_TRUE(std::isnan(tags.trackPeak));
  tags.AddComment("R128_TRACK_GAIN=-2560");
  EXPECT_FLOAT_EQ(tags.trackGain, -5.0f);
}

TEST(ReplayGainFilter, ModeChangeGlidesAndLimiterSparesSoundBelowMinusOneDb) {
  TReplayGain gain;
  gain.SetSettings(TReplayGain::TMode::Track, 0, 0);
  gain.Begin({}, 44100);
  std::vector<float> quiet(2000, 0.85f);
  gain.Apply(quiet.data(), 1000, 2, false);
  EXPECT_EQ(quiet[1999], 0.85f) << "untouched below -1 dBFS";
  gain.SetSettings(TReplayGain::TMode::Track, 0, -6);
  std::vector<float> ramp(2000, 0.5f);
  gain.Apply(ramp.data(), 1000, 2, false);
  float largestStep = 0;
  for (size_t i = 2; i < ramp.size(); i += 2)
    largestStep = std::max(largestStep, ramp[i - 2] - ramp[i]);
  EXPECT_LT(largestStep, 0.01f) << "a step, not a glide";
  EXPECT_NEAR(ramp[2 * 441], 0.5f * std::pow(10.0f, -0.3f), 1e-4) << "within 10 ms";
  gain.SetSettings(TReplayGain::TMode::Track, 0, 15);
  std::vector<float> loud(2000, 0.9f);
  gain.Apply(loud.data(), 1000, 2, false);
  for (float s : loud) ASSERT_LE(s, 1.0f);
  EXPECT_EQ(gain.Hint(), "RG untagged +15.0 dB");
}

TEST_F(ReplayGain, EveryFormatsTagMovesTheLevelByItsGain) {
  const double flac = HeardDb("tone.flac", XA_REPLAYGAIN_TRACK);
  EXPECT_NEAR(HeardDb("track.flac", XA_REPLAYGAIN_TRACK) - flac, -6.3, 0.05);
  EXPECT_NEAR(HeardDb("track.flac", XA_REPLAYGAIN_ALBUM) - flac, -3.0, 0.05);
  EXPECT_NEAR(HeardDb("track.flac", XA_REPLAYGAIN_OFF) - flac, 0, 0.05);
  EXPECT_NEAR(HeardDb("track.flac", XA_REPLAYGAIN_TRACK, 25) - flac, -3.8, 0.05) << "pre-amp";
  EXPECT_NEAR(HeardDb("bad.flac", XA_REPLAYGAIN_TRACK, 0, -20) - flac, -2.0, 0.05)
      << "bad values count as no tag";
  // Only an album gain: Track mode falls back to it.
  EXPECT_NEAR(HeardDb("album.ogg", XA_REPLAYGAIN_TRACK) - HeardDb("tone.ogg", 0), -4.5, 0.05);
  EXPECT_NEAR(HeardDb("r128.opus", XA_REPLAYGAIN_TRACK) - HeardDb("tone.opus", 0), -5.0, 0.05)
      << "R128 -10 dB is ReplayGain -5 dB";
  const double mp3 = HeardDb("plain.mp3", XA_REPLAYGAIN_TRACK);
  EXPECT_NEAR(HeardDb("txxx.mp3", XA_REPLAYGAIN_TRACK) - mp3, -7.25, 0.05);
  EXPECT_NEAR(HeardDb("rva2.mp3", XA_REPLAYGAIN_TRACK) - mp3, -4.0, 0.05);
  EXPECT_NEAR(HeardDb("rva2-peak.mp3", XA_REPLAYGAIN_TRACK) - mp3, 6.02, 0.05)
      << "+9 dB cut to the RVA2 peak of 0.5";
  // The Opus header's gain is part of the stream: heard even with ReplayGain off.
  EXPECT_NEAR(HeardDb("header-gain.opus", XA_REPLAYGAIN_OFF) - HeardDb("tone.opus", 0), -6.0, 0.05);
  const std::string lame = ReadBytes(dir_->File("lame.txt"));
  ASSERT_GT(lame.size(), 12u) << "lame printed no ReplayGain";
  EXPECT_NEAR(HeardDb("lame.mp3", XA_REPLAYGAIN_TRACK) - mp3, std::atof(lame.c_str() + 12), 0.05);
  // An encoder that measured the peak (0.25 here) stores it beside the track gain.
  TGainTags measured;
  const int fd = open(dir_->File("measured.mp3").c_str(), O_RDONLY);
  ASSERT_GE(fd, 0);
  measured.ReadMpeg(fd);
  close(fd);
  EXPECT_NEAR(measured.trackPeak, 0.25, 0.02);
}

TEST_F(ReplayGain, TheGainChangesAtTheFirstSampleOfItsSong) {
  const std::string out = dir_->File("join.wav");
  {
    TEngineHarness h(XA_OUTPUT_WAV_PREFIX + out);
    control_message_send_SI(h.player(), XA_MSG_SET_PLAYER_ENVIRONMENT_INTEGER,
                            XA_ENVIRONMENT_REPLAYGAIN, XA_REPLAYGAIN_TRACK);
    h.PlayInTurn({dir_->File("track.flac"), dir_->File("tone.flac")});
  }
  TWav wav = ReadWav(out);
  wav.samples = WithoutSilence(wav);
  ASSERT_EQ(wav.frames(), 2 * 88200u) << "nothing lost or added at the join";
  // The last four periods of the first song and the first four of the second.
  const double before = 20 * std::log10(Rms(wav, 88200 - 400, 400));
  const double after = 20 * std::log10(Rms(wav, 88200, 400));
  EXPECT_NEAR(before - after, -6.3, 0.05);
}

TEST_F(ReplayGain, AModeChangeWhilePlayingGlidesToTheNewLevel) {
  xaudio::TDecoder decoder;
  int code = 0;
  std::string error;
  decoder.SetReplayGain(TReplayGain::TMode::Track, 0, 0);
  ASSERT_TRUE(decoder.Open(dir_->File("track.flac"), code, error)) << error;
  std::vector<float> heard(2 * 44100);
  int frames = 0;
  // Half a second at -6.3 dB, the change in the middle of a period, then half a second more.
  decoder.Read(heard.data(), 22050 + 37, frames, error);
  ASSERT_EQ(frames, 22050 + 37);
  decoder.SetReplayGain(TReplayGain::TMode::Off, 0, 0);
  decoder.Read(heard.data() + 2 * frames, 22050 - 37, frames, error);
  ASSERT_EQ(frames, 22050 - 37);
  // A 441 Hz tone of 0.25 moves at most 0.25 * 2 pi / 100 from one sample to the next.
  float largestStep = 0;
  for (size_t i = 2; i < heard.size(); i += 2)
    largestStep = std::max(largestStep, std::abs(heard[i] - heard[i - 2]));
  EXPECT_LT(largestStep, 0.25f * 6.2832f / 100 * 1.05f) << "a step, not a glide";
  TWav wav{44100, 2, {}};
  for (float v : heard) wav.samples.push_back(static_cast<int16_t>(std::lround(v * 32767)));
  EXPECT_NEAR(20 * std::log10(Rms(wav, 22050 + 37 + 441, 10000) / Rms(wav, 10000, 10000)), 6.3,
              0.05)
      << "the new level 10 ms after the change";
}

TEST_F(ReplayGain, NothingReachesFullScaleWithGainOrEqualizerBoost) {
  const auto peak = [](const std::string& path, const XA_EqualizerInfo* eq, float& quietError) {
    xaudio::TDecoder decoder;
    xaudio::TDecoder plain;
    int code = 0;
    std::string error;
    decoder.SetReplayGain(TReplayGain::TMode::Track, 0, 0);
    decoder.SetEqualizer(eq);
    EXPECT_TRUE(decoder.Open(path, code, error) && plain.Open(path, code, error)) << error;
    std::vector<float> a(4096), b(4096);
    float top = 0;
    quietError = 0;
    int n = 0, m = 0;
    while (decoder.Read(a.data(), 2048, n, error) == xaudio::TDecoder::TRead::Ok && n > 0) {
      plain.Read(b.data(), n, m, error);
      for (int i = 0; i < 2 * n; ++i) {
        top = std::max(top, std::abs(a[i]));
        if (std::abs(b[i]) > 0.01f && std::abs(b[i]) < 0.3f)
          quietError = std::max(quietError, std::abs(a[i] / b[i] - 2.818f));
      }
    }
    return top;
  };
  XA_EqualizerInfo boost{};
  for (int band = 0; band < 32; ++band) boost.left[band] = boost.right[band] = 40;
  float quiet = 0;
  EXPECT_LE(peak(dir_->File("sweep.flac"), &boost, quiet), 1.0f) << "+12 dB bands, 0 dBFS sweep";
  EXPECT_LE(peak(dir_->File("loud.flac"), nullptr, quiet), 1.0f) << "+9 dB without a peak";
  EXPECT_LT(quiet, 0.01f) << "+9 dB must reach quiet samples unchanged";
  // With the peak known, the gain itself is cut to 1 / 0.5.
  EXPECT_NEAR(HeardDb("peak.flac", XA_REPLAYGAIN_TRACK) - HeardDb("tone.flac", 0), 6.02, 0.05);
}

}  // namespace
