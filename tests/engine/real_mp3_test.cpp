// MP3 files as encoders, downloads and damage leave them: lengths of streams without an info
// frame or with junk at the end, truncated LAME files, format changes inside a file, and
// files that break off after some sound.
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <tuple>

#include "Decoder.h"
#include "EngineHarness.h"
#include "StreamProbe.h"
#include "TestMedia.h"

using namespace std::chrono_literals;

namespace {

struct TDecoded {
  xaudio::TStreamInfo info;
  int64_t frames = 0;
  std::vector<float> samples;  // interleaved, in the channels of each read
  bool failed = false;
};

TDecoded Decode(const std::string& path) {
  TDecoded d;
  xaudio::TDecoder decoder;
  int code = 0;
  std::string error;
  if (!decoder.Open(path, code, error)) {
    ADD_FAILURE() << path << ": " << error;
    return d;
  }
  d.info = decoder.Info();
  std::vector<float> block(4096 * 2);
  for (;;) {
    const int channels = decoder.Info().format.channels;
    int frames = 0;
    const auto result = decoder.Read(block.data(), 4096, frames, error);
    d.frames += frames;
    d.samples.insert(d.samples.end(), block.begin(), block.begin() + frames * channels);
    if (result == xaudio::TDecoder::TRead::Done) break;
    if (result == xaudio::TDecoder::TRead::Failed) {
      d.failed = true;
      break;
    }
  }
  return d;
}

// A stream without an info frame of `count` frames of one MPEG version and layer whose bit
// rates take turns through the whole table, as in the compliance streams; their bodies are
// zeros, which decode to silence.
std::string VaryingFrames(int version, int layer, int count) {
  std::string stream;
  for (int i = 0; i < count; ++i) {
    const unsigned char h[4] = {0xff,
                                static_cast<unsigned char>(0xe1 | version << 3 | (4 - layer) << 1),
                                static_cast<unsigned char>((1 + i % 14) << 4), 0};
    xaudio::TFrameHeader header;
    if (!header.Parse(h)) return {};
    std::string frame(static_cast<size_t>(header.bytes), '\0');
    std::copy(h, h + 4, frame.begin());
    stream += frame;
  }
  return stream;
}

void Shell(const std::string& command) { ASSERT_EQ(std::system(command.c_str()), 0) << command; }

class RealMp3 : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    dir_ = std::make_unique<TTempDir>();
    // Noise and tone in turns, so that a VBR encoder's frames differ widely in bit rate.
    const std::string noise = dir_->File("noise.wav");
    tone_ = MakeWav(*dir_, "tone.wav", {2.0, 44100, 2, 440, false});
    Shell("sox -n -r 44100 -c 2 -b 16 '" + noise + "' synth 2 pinknoise vol 0.5");
    varied_ = dir_->File("varied.wav");
    Shell("sox '" + noise + "' '" + tone_ + "' '" + noise + "' '" + varied_ + "'");
  }
  static void TearDownTestSuite() { dir_.reset(); }

  static std::string Lame(const std::string& options, const std::string& wav,
                          const std::string& name) {
    const std::string path = dir_->File(name);
    Shell("lame --quiet " + options + " '" + wav + "' '" + path + "'");
    return path;
  }

  // bytes [0, size * fraction) of `path`, then `tail`.
  static std::string Cut(const std::string& path, double fraction, const std::string& name,
                         const std::string& tail = "") {
    const std::string bytes = ReadBytes(path);
    const std::string out = dir_->File(name);
    WriteBytes(out, bytes.substr(0, static_cast<size_t>(bytes.size() * fraction)) + tail);
    return out;
  }

  // `path` ended after the last whole frame within its first `fraction`.
  static std::string CutAtFrame(const std::string& path, double fraction, const std::string& name) {
    const std::string bytes = ReadBytes(path);
    size_t at = 0;
    xaudio::TFrameHeader h;
    while (at + 4 <= bytes.size() && h.Parse(reinterpret_cast<const unsigned char*>(&bytes[at])) &&
           at + h.bytes <= bytes.size() * fraction)
      at += h.bytes;
    const std::string out = dir_->File(name);
    WriteBytes(out, bytes.substr(0, at));
    return out;
  }

  static std::unique_ptr<TTempDir> dir_;
  static std::string varied_, tone_;
};

std::unique_ptr<TTempDir> RealMp3::dir_;
std::string RealMp3::varied_, RealMp3::tone_;

TEST_F(RealMp3, LengthIsWhatPlaysWithinOneFrame) {
  const std::string vbr = Lame("-V 2", varied_, "vbr.mp3");
  const std::string bareVbr = Lame("-V 2 -t", varied_, "bare-vbr.mp3");
  const std::string bareCbr = Lame("-b 128 -t", varied_, "bare-cbr.mp3");
  const struct {
    std::string name, path;
  } cases[] = {
      {"no info frame, varying bit rate", bareVbr},
      {"no info frame, constant bit rate", bareCbr},
      {"no info frame, cut mid-frame", Cut(bareVbr, 0.6, "bare-cut.mp3")},
      {"info frame, cut 1% short", Cut(vbr, 0.99, "short.mp3")},
      {"info frame, zeros after 70%", Cut(vbr, 0.7, "zeros.mp3", std::string(40000, '\0'))},
      {"no info frame, zeros after 70%",
       Cut(bareCbr, 0.7, "bare-zeros.mp3", std::string(40000, '\0'))},
      {"info frame, cut 3% short on a frame boundary", CutAtFrame(vbr, 0.97, "frame-cut.mp3")},
      // A second ID3v2 tag one byte longer than it holds: libmpg123 takes no info frame
      // then, and calls its guess of the length accurate.
      {"info frame after a second ID3v2 tag that takes in its first byte",
       Cut(vbr, 0, "two-tags.mp3",
           std::string("ID3\3\0\0\0\0\0\x0a", 10) + std::string(10, '\0') +
               std::string("ID3\3\0\0\0\0\0\x20TIT2\0\0\0\x06\0\0\0Zwei", 25) +
               std::string(16, '\0') + ReadBytes(vbr))},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const TDecoded d = Decode(c.path);
    EXPECT_GT(d.frames, 44100);
    EXPECT_NEAR(static_cast<double>(d.info.frames), static_cast<double>(d.frames), 1152);
  }
  // Layers I and II, MPEG-2 and MPEG-2.5 with varying bit rates: 200 frames each.
  for (const auto& [version, layer, samples] :
       {std::tuple{3, 1, 384}, {3, 2, 1152}, {2, 3, 576}, {0, 3, 576}}) {
    SCOPED_TRACE(std::to_string(version) + " layer " + std::to_string(layer));
    const std::string path = dir_->File("varying.mp3");
    WriteBytes(path, VaryingFrames(version, layer, 200));
    const TDecoded d = Decode(path);
    EXPECT_NEAR(static_cast<double>(d.frames), 200.0 * samples, samples);
    EXPECT_NEAR(static_cast<double>(d.info.frames), static_cast<double>(d.frames), samples);
  }
}

TEST_F(RealMp3, JunkAfterTheAnnouncedEndIsNotPlayed) {
  const std::string whole = Lame("-V 2", varied_, "junk-whole.mp3");
  const TDecoded clean = Decode(whole);
  // Frames of another stream and then zeros, as a tool or a download may leave them.
  const TDecoded junk =
      Decode(Cut(whole, 1, "junk.mp3", VaryingFrames(0, 3, 2) + std::string(3000, '\0')));
  EXPECT_FALSE(junk.failed);
  EXPECT_EQ(junk.info.frames, clean.info.frames);
  EXPECT_EQ(junk.frames, clean.frames);
  EXPECT_EQ(junk.samples, clean.samples);
  // A whole stream of another rate after it is sound, not junk.
  const std::string high = MakeWav(*dir_, "junk-high.wav", {1.0, 48000, 2, 330, false});
  const TDecoded both =
      Decode(Cut(whole, 1, "junk-both.mp3", ReadBytes(Lame("-b 128 -t", high, "junk-high.mp3"))));
  EXPECT_GT(both.frames, clean.frames + 40000);
}

TEST_F(RealMp3, TruncatedLameFileStartsWithTheSampleAWholeOneStartsWith) {
  const std::string whole = Lame("-V 2", varied_, "whole.mp3");
  const TDecoded full = Decode(whole);
  const TDecoded cut = Decode(Cut(whole, 0.5, "half.mp3"));
  ASSERT_GT(cut.frames, 44100);
  EXPECT_NEAR(static_cast<double>(cut.info.frames), static_cast<double>(cut.frames), 1152);
  const std::vector<float> head(full.samples.begin(), full.samples.begin() + 2 * 44100);
  EXPECT_TRUE(std::equal(head.begin(), head.end(), cut.samples.begin()));
  // Seeking counts from the same first sample.
  xaudio::TDecoder decoder;
  int code = 0;
  std::string error;
  ASSERT_TRUE(decoder.Open(dir_->File("half.mp3"), code, error));
  ASSERT_TRUE(decoder.Seek(30000));
  EXPECT_EQ(decoder.Position(), 30000);
  std::vector<float> block(2 * 1000);
  int frames = 0;
  decoder.Read(block.data(), 1000, frames, error);
  ASSERT_EQ(frames, 1000);
  EXPECT_TRUE(std::equal(block.begin(), block.end(), full.samples.begin() + 2 * 30000));
}

TEST_F(RealMp3, FormatChangesInsideAFile) {
  // A mono stream followed by a stereo one: heard as `mpg123 --stereo` gives it.
  const std::string mono = MakeWav(*dir_, "mono.wav", {1.0, 44100, 1, 660, false});
  const std::string both = dir_->File("both.mp3");
  Shell("cat '" + Lame("-b 64 -t", mono, "mono.mp3") + "' '" +
        Lame("-b 128 -t", tone_, "stereo.mp3") + "' > '" + both + "'");
  const std::string reference = dir_->File("reference.wav");
  Shell("mpg123 -q --stereo -w '" + reference + "' '" + both + "'");
  const std::string out = dir_->File("out.wav");
  {
    TEngineHarness engine(XA_OUTPUT_WAV_PREFIX + out);
    engine.PlayInTurn({both});
  }
  const TWav heard = ReadWav(out);
  const TWav expected = ReadWav(reference);
  ASSERT_EQ(heard.samples.size(), expected.samples.size());
  size_t differing = 0;
  for (size_t i = 0; i < heard.samples.size(); ++i)
    differing += std::abs(heard.samples[i] - expected.samples[i]) > 1;
  EXPECT_EQ(differing, 0u);

  // A change of rate reaches the output as one: the WAV sink, which keeps its first format,
  // refuses it after the whole first part.
  const std::string high = MakeWav(*dir_, "high.wav", {1.0, 48000, 2, 330, false});
  const std::string first = Lame("-b 128 -t", tone_, "first.mp3");
  const std::string rates = dir_->File("rates.mp3");
  Shell("cat '" + first + "' '" + Lame("-b 128 -t", high, "high.mp3") + "' > '" + rates + "'");
  std::string refused;
  {
    TEngineHarness engine(XA_OUTPUT_WAV_PREFIX + out);
    engine.PlayInTurn({rates});
    for (const auto& n : engine.seen())
      if (n.code() == XA_MSG_NOTIFY_ERROR) refused = n.text;
  }
  EXPECT_NE(refused.find("keeps the sample format"), std::string::npos) << refused;
  EXPECT_EQ(ReadWav(out).frames(), static_cast<size_t>(Decode(first).frames));
}

TEST_F(RealMp3, DamagedFilePlaysWhatDecodesAndTheAlbumGoesOn) {
  const std::string good = Lame("-b 128", tone_, "good.mp3");
  const std::string damaged = Cut(good, 0.5, "damaged.mp3", std::string(100000, '\0'));
  const int64_t sound = Decode(damaged).frames;
  const int64_t after = Decode(good).frames;
  ASSERT_GT(sound, 22050);
  const std::string out = dir_->File("album.wav");
  bool told = false;
  {
    TEngineHarness engine(XA_OUTPUT_WAV_PREFIX + out);
    engine.PlayInTurn({damaged, good});
    for (const auto& n : engine.seen()) {
      EXPECT_NE(n.code(), XA_MSG_NOTIFY_ERROR) << n.text;
      told |= n.code() == XA_MSG_NOTIFY_DEBUG &&
              n.message.data.debug.level == XA_DEBUG_LEVEL_INPUT_DAMAGED;
    }
  }
  EXPECT_TRUE(told);
  EXPECT_EQ(ReadWav(out).frames(), static_cast<size_t>(sound + after));
}

}  // namespace

TEST_F(RealMp3, BitRateIsWhatTheWholeStreamAverages) {
  // Tone first, so the first frames are far smaller than the noise after them.
  const std::string quietFirst = dir_->File("quiet-first.wav");
  Shell("sox '" + tone_ + "' '" + varied_ + "' '" + quietFirst + "'");
  const struct {
    std::string name, path;
    int low, high;
  } cases[] = {
      {"constant, no info frame", Lame("-b 128 -t", varied_, "rate-cbr.mp3"), 128, 128},
      {"free format", Lame("--freeformat -b 360", varied_, "rate-free.mp3"), 355, 365},
      {"varying, no info frame", Lame("-V 0 -t", quietFirst, "rate-vbr.mp3"), 0, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const TDecoded d = Decode(c.path);
    ASSERT_GT(d.frames, 0);
    const double average = ReadBytes(c.path).size() * 8.0 / 1000 / (d.frames / 44100.0);
    EXPECT_GE(d.info.bitrate, c.low ? c.low : average * 0.97);
    EXPECT_LE(d.info.bitrate, c.high ? c.high : average * 1.03);
  }
}
