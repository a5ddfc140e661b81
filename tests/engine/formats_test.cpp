// FLAC, Ogg Vorbis and Opus files made by their encoders: every sample as the format's
// reference decoder gives it, exact lengths, seeks to the sample, down-mixed surround,
// gapless albums, and damaged files that end instead of crashing or hanging.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <memory>

#include "Decoder.h"
#include "EngineHarness.h"
#include "TestMedia.h"

namespace {

void Shell(const std::string& command) { ASSERT_EQ(std::system(command.c_str()), 0) << command; }

struct TDecoded {
  xaudio::TStreamInfo info;
  std::vector<float> samples;
  bool failed = false;
  size_t frames() const { return info.format.channels ? samples.size() / info.format.channels : 0; }
};

// Decodes `path` from `from` on (a seek when not 0).
TDecoded Decode(const std::string& path, int64_t from = 0) {
  TDecoded d;
  xaudio::TDecoder decoder;
  int code = 0;
  std::string error;
  if (!decoder.Open(path, code, error)) {
    d.failed = true;
    return d;
  }
  d.info = decoder.Info();
  if (from != 0 && !decoder.Seek(from)) ADD_FAILURE() << path << ": no seek to " << from;
  if (from != 0 && decoder.Position() != from) ADD_FAILURE() << path << ": landed elsewhere";
  std::vector<float> block(1000 * 2);
  // Reads of odd sizes cross the decoders' own frames at every offset.
  for (int read = 0; read < 100000; ++read) {
    int frames = 0;
    const auto result = decoder.Read(block.data(), 1 + read % 997, frames, error);
    d.samples.insert(d.samples.end(), block.begin(),
                     block.begin() + frames * decoder.Info().format.channels);
    if (result == xaudio::TDecoder::TRead::Done) return d;
    if (result == xaudio::TDecoder::TRead::Failed) {
      d.failed = true;
      return d;
    }
  }
  ADD_FAILURE() << path << ": decoding does not end";
  return d;
}

// Signed little-endian raw samples of `bytes` bytes each.
std::vector<int32_t> ReadRaw(const std::string& path, int bytes) {
  const std::string raw = ReadBytes(path);
  std::vector<int32_t> samples(raw.size() / bytes);
  for (size_t i = 0; i < samples.size(); ++i) {
    uint32_t v = 0;
    for (int b = 0; b < bytes; ++b) v |= uint32_t(uint8_t(raw[i * bytes + b])) << (8 * b);
    samples[i] = int32_t(v << (32 - 8 * bytes)) >> (32 - 8 * bytes);
  }
  return samples;
}

// Our floats at the reference's integer scale, as the reference rounds them.
std::vector<int32_t> AsIntegers(const std::vector<float>& samples, int bits) {
  const double scale = std::ldexp(1.0, bits - 1);
  std::vector<int32_t> out;
  for (float s : samples)
    out.push_back(int32_t(std::clamp(std::lrint(s * scale), long(-scale), long(scale - 1))));
  return out;
}

// Samples of `a` that differ from `b` (from `from` on) by more than `tolerance`; a length
// that differs counts a million.
size_t Mismatches(const std::vector<int32_t>& a, const std::vector<int32_t>& b, size_t from = 0,
                  int tolerance = 0) {
  size_t wrong = a.size() == b.size() - from ? 0 : 1000000;
  for (size_t i = 0; i < a.size() && i + from < b.size(); ++i)
    wrong += std::abs(a[i] - b[i + from]) > tolerance;
  return wrong;
}

class Formats : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    dir_ = std::make_unique<TTempDir>();
    const auto source = [](const std::string& name, const std::string& synth) {
      const std::string wav = dir_->File(name);
      Shell("sox -n " + synth.substr(0, synth.find('|')) + " '" + wav + "' synth " +
            synth.substr(synth.find('|') + 1));
      return wav;
    };
    const std::string cd = source("cd.wav", "-r 44100 -c 2 -b 16|1.3 pinknoise vol 0.5");
    const std::string hi = source("hi.wav", "-r 96000 -c 2 -b 24|0.7 pinknoise vol 0.5");
    const std::string mono = source("mono.wav", "-r 22050 -c 1 -b 16|0.9 sine 500 vol 0.6");
    // Long enough that a damaged page or a cut leaves several pages whole.
    source("long.wav", "-r 44100 -c 2 -b 16|6 pinknoise vol 0.5");
    const std::string six = source("six.wav", "-r 48000 -c 6 -b 16|0.5 sine 200 vol 0.5");
    Shell("cd '" + dir_->path() + "' && flac -s -f cd.wav hi.wav mono.wav six.wav long.wav && " +
          "oggenc -Q cd.wav mono.wav six.wav long.wav && opusenc --quiet cd.wav cd.opus && " +
          "opusenc --quiet long.wav long.opus && " +
          // Written to a pipe, a FLAC stream cannot say its length in its header.
          "sox cd.wav -t raw - | flac -s --force-raw-format --endian=little --sign=signed " +
          "--channels=2 --bps=16 --sample-rate=44100 -c - 2>/dev/null > pipe.flac && " +
          "opusenc --quiet mono.wav mono.opus");
  }
  static void TearDownTestSuite() { dir_.reset(); }

  // What the reference decoder gives, at its integer scale.
  static std::vector<int32_t> Reference(const std::string& name, int& bits) {
    const std::string in = dir_->File(name), out = dir_->File(name + ".raw");
    const std::string ext = name.substr(name.rfind('.') + 1);
    bits = 16;
    if (ext == "flac") {
      Shell("flac -s -d -f --force-raw-format --endian=little --sign=signed -o '" + out + "' '" +
            in + "'");
      bits = name.rfind("hi", 0) == 0 ? 24 : 16;
    } else if (ext == "ogg") {
      Shell("oggdec -Q -R -o '" + out + "' '" + in + "'");
    } else {
      Shell("opusdec --quiet --rate 48000 --no-dither --force-wav '" + in + "' '" + out + "'");
      TWav wav = ReadWav(out);
      return {wav.samples.begin(), wav.samples.end()};
    }
    return ReadRaw(out, bits / 8);
  }

  static std::unique_ptr<TTempDir> dir_;
};

std::unique_ptr<TTempDir> Formats::dir_;

TEST_F(Formats, DecodeSampleForSampleLikeTheReferenceWithExactLengthAndSeek) {
  const struct {
    const char* name;
    int rate, channels, bits;
    // After a seek libopusfile decodes from a pre-roll, not from the song's start: it lands
    // on the sample, but the sound takes about 90 ms to converge to what a decode from the
    // start gives. Compared after `settle` frames, within `tolerance`.
    int settle, tolerance;
  } cases[] = {{"cd.flac", 44100, 2, 16, 0, 0},   {"hi.flac", 96000, 2, 24, 0, 0},
               {"mono.flac", 22050, 1, 16, 0, 0}, {"cd.ogg", 44100, 2, 0, 0, 0},
               {"mono.ogg", 22050, 1, 0, 0, 0},   {"cd.opus", 48000, 2, 0, 4800, 40},
               {"pipe.flac", 44100, 2, 16, 0, 0}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    int bits = 0;
    const std::vector<int32_t> reference = Reference(c.name, bits);
    const TDecoded whole = Decode(dir_->File(c.name));
    ASSERT_FALSE(whole.failed);
    EXPECT_EQ(whole.info.format.rate, c.rate);
    EXPECT_EQ(whole.info.format.channels, c.channels);
    EXPECT_EQ(whole.info.sourceBits, c.bits);
    EXPECT_EQ(whole.info.mode,
              c.channels == 1 ? XA_STREAM_MODE_SINGLE_CHANNEL : XA_STREAM_MODE_STEREO);
    EXPECT_GT(whole.info.bitrate, 8);
    EXPECT_EQ(whole.info.frames * c.channels, int64_t(reference.size()));
    EXPECT_EQ(Mismatches(AsIntegers(whole.samples, bits), reference), 0u);
    for (int64_t at : {int64_t{1}, int64_t{4095}, whole.info.frames / 2, whole.info.frames - 7}) {
      const TDecoded rest = Decode(dir_->File(c.name), at);
      ASSERT_EQ(int64_t(rest.frames()), whole.info.frames - at) << "from " << at;
      std::vector<int32_t> heard = AsIntegers(rest.samples, bits);
      const size_t settled = std::min(heard.size(), size_t(c.settle) * c.channels);
      heard.erase(heard.begin(), heard.begin() + settled);
      EXPECT_EQ(Mismatches(heard, reference, size_t(at) * c.channels + settled, c.tolerance), 0u)
          << "from " << at;
    }
  }
}

TEST_F(Formats, MonoOpusPlaysOnBothSidesAndSurroundIsFoldedIntoStereo) {
  int bits = 0;
  const std::vector<int32_t> reference = Reference("mono.opus", bits);
  const TDecoded mono = Decode(dir_->File("mono.opus"));
  EXPECT_EQ(mono.info.mode, XA_STREAM_MODE_SINGLE_CHANNEL);
  ASSERT_EQ(mono.info.format.channels, 2);
  std::vector<float> left, right;
  for (size_t i = 0; i < mono.samples.size(); i += 2) {
    left.push_back(mono.samples[i]);
    right.push_back(mono.samples[i + 1]);
  }
  EXPECT_EQ(left, right);
  EXPECT_EQ(Mismatches(AsIntegers(left, 16), reference), 0u);
  for (const char* name : {"six.flac", "six.ogg"}) {
    const TDecoded six = Decode(dir_->File(name));
    EXPECT_EQ(six.info.sourceChannels, 6) << name;
    ASSERT_EQ(six.info.format.channels, 2) << name;
    EXPECT_EQ(six.frames(), size_t(48000 / 2)) << name;
    // Five equal channels and the LFE: each side's weights add up to one.
    float peak = 0;
    for (float s : six.samples) peak = std::max(peak, std::abs(s));
    EXPECT_NEAR(peak, 0.5f, 0.02f) << name;
  }
}

TEST_F(Formats, DamagedFilesPlayWhatDecodesAndEnd) {
  for (const char* name : {"long.flac", "long.ogg", "long.opus"}) {
    SCOPED_TRACE(name);
    const std::string good = ReadBytes(dir_->File(name));
    const size_t total = Decode(dir_->File(name)).frames();
    const std::string cut = dir_->File(std::string("cut-") + name);
    WriteBytes(cut, good.substr(0, good.size() * 3 / 4));
    const TDecoded half = Decode(cut);
    EXPECT_GT(half.frames(), total / 4);
    EXPECT_LT(half.frames(), total);
    std::string damaged = good;
    for (size_t i = good.size() * 2 / 3; i < good.size() * 2 / 3 + 400; ++i) damaged[i] ^= 0x5a;
    WriteBytes(cut, damaged);
    const TDecoded hurt = Decode(cut);
    EXPECT_GT(hurt.frames(), total / 4);
    WriteBytes(cut, good.substr(0, 4) + std::string(5000, '\x11'));
    EXPECT_EQ(Decode(cut).frames(), 0u);
  }
}

TEST_F(Formats, AlbumsOfOneFormatJoinWithoutGapOrLoss) {
  const std::string out = dir_->File("out.wav");
  for (const char* name : {"cd.flac", "cd.ogg", "cd.opus"}) {
    const std::string song = dir_->File(name);
    TEngineHarness(XA_OUTPUT_WAV_PREFIX + out).PlayInTurn({song});
    const std::vector<int16_t> alone = WithoutSilence(ReadWav(out));
    ASSERT_GT(alone.size(), 44100u * 2) << name;
    std::vector<int16_t> expected = alone;
    expected.insert(expected.end(), alone.begin(), alone.end());
    TEngineHarness(XA_OUTPUT_WAV_PREFIX + out).PlayInTurn({song, song});
    // Every sample once, in order; where the song follows, at most 5 ms of silence.
    const int64_t inserted = InsertedSilence(ReadWav(out), expected, 48000 / 200);
    EXPECT_GE(inserted, 0) << name << ": sound lost, repeated or cut off";
    EXPECT_LE(inserted, 48000 / 200) << name;
  }
}

}  // namespace
