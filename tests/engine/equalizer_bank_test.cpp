// The equalizer of FLAC, Ogg Vorbis and Opus files against libmpg123's for MP3: the same
// tones through both paths, each slider's group of bands at its extremes. Prints the curves.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <memory>

#include "Decoder.h"
#include "TestMedia.h"

namespace {

// The window's eight sliders: the first of the engine's 32 bands under each.
constexpr int kFirstBand[9] = {0, 1, 2, 4, 6, 8, 14, 20, 32};
constexpr int kRate = 44100;
constexpr double kToneSeconds = 0.3;

// The frequency at the middle of slider s's bands.
double Centre(int s) { return (kFirstBand[s] + kFirstBand[s + 1]) / 2.0 * kRate / 64; }

struct TRun {
  std::vector<float> samples;  // left channel
  int64_t frames = 0;
};

// Decodes `path` with slider `slider` at `value` (the equalizer off when slider < 0; all
// sliders in turns at +value and -value when slider is 8), from `seekTo` on.
TRun Decode(const std::string& path, int slider, int value, int64_t seekTo = 0) {
  TRun run;
  xaudio::TDecoder decoder;
  int code = 0;
  std::string error;
  if (!decoder.Open(path, code, error)) {
    ADD_FAILURE() << path << ": " << error;
    return run;
  }
  XA_EqualizerInfo equalizer{};
  for (int s = 0; s < 8; ++s)
    for (int band = kFirstBand[s]; band < kFirstBand[s + 1]; ++band)
      if (s == slider || slider == 8)
        equalizer.left[band] = equalizer.right[band] =
            static_cast<signed char>(slider == 8 && s % 2 ? -value : value);
  decoder.SetEqualizer(slider >= 0 ? &equalizer : nullptr);
  if (seekTo > 0) decoder.Seek(seekTo);
  std::vector<float> block(2 * 1500);
  for (int read = 0; read < 10000; ++read) {
    int frames = 0;
    const auto result = decoder.Read(block.data(), 300 + read % 1200, frames, error);
    const int channels = decoder.Info().format.channels;
    for (int i = 0; i < frames; ++i) run.samples.push_back(block[i * channels]);
    run.frames += frames;
    if (frames > 0 && seekTo > 0 && read == 0) {
      EXPECT_EQ(decoder.Position(), seekTo + frames) << "a position ahead of the sound";
    }
    if (result != xaudio::TDecoder::TRead::Ok) break;
  }
  return run;
}

// Level in dB of tone s of the sequence, its edges left out.
double Level(const TRun& run, int s) {
  const auto first = static_cast<size_t>((s + 0.2) * kToneSeconds * kRate);
  const auto count = static_cast<size_t>(0.6 * kToneSeconds * kRate);
  double sum = 0;
  for (size_t i = first; i < first + count && i < run.samples.size(); ++i)
    sum += double(run.samples[i]) * run.samples[i];
  return 10 * std::log10(sum / count + 1e-30);
}

TEST(EqualizerBank, MatchesTheMp3EqualizerAtEachSlidersCentreAndIsFlatAtZero) {
  TTempDir dir;
  std::string tones;
  for (int s = 0; s < 8; ++s) {
    const std::string tone = dir.File("t" + std::to_string(s) + ".wav");
    char synth[160];
    std::snprintf(synth, sizeof synth, "sox -n -r %d -c 2 -b 16 '%s' synth %g sine %.1f vol 0.3",
                  kRate, tone.c_str(), kToneSeconds, Centre(s));
    ASSERT_EQ(std::system(synth), 0);
    tones += " '" + tone + "'";
  }
  const std::string wav = dir.File("tones.wav");
  const std::string mp3 = dir.File("tones.mp3"), flac = dir.File("tones.flac");
  ASSERT_EQ(std::system(("sox" + tones + " '" + wav + "' && lame --quiet -b 320 --lowpass 21 '" +
                         wav + "' '" + mp3 + "' && flac -s -o '" + flac + "' '" + wav + "'")
                            .c_str()),
            0);
  const TRun mp3Flat = Decode(mp3, -1, 0), flacFlat = Decode(flac, -1, 0);
  // All sliders at 0 is no filter at all: every sample as decoded.
  const TRun zero = Decode(flac, 0, 0);
  EXPECT_EQ(zero.samples, flacFlat.samples);
  std::printf("slider  centre Hz   MP3 +12   bank +12   MP3 -12   bank -12 (dB)\n");
  for (int s = 0; s < 8; ++s) {
    double gains[2][2];
    for (int v = 0; v < 2; ++v) {
      const int value = v == 0 ? 40 : -40;
      gains[0][v] = Level(Decode(mp3, s, value), s) - Level(mp3Flat, s);
      const TRun filtered = Decode(flac, s, value);
      ASSERT_EQ(filtered.frames, flacFlat.frames) << "sound lost or added";
      gains[1][v] = Level(filtered, s) - Level(flacFlat, s);
      EXPECT_NEAR(gains[1][v], gains[0][v], 0.5) << "slider " << s + 1 << " at " << value;
    }
    std::printf("%6d %10.0f %9.2f %10.2f %9.2f %10.2f\n", s + 1, Centre(s), gains[0][0],
                gains[1][0], gains[0][1], gains[1][1]);
  }
  // Neighbours at opposite ends: what one band lets through next door.
  const TRun mp3Turns = Decode(mp3, 8, 40), flacTurns = Decode(flac, 8, 40);
  for (int s = 0; s < 8; ++s)
    EXPECT_NEAR(Level(flacTurns, s) - Level(flacFlat, s), Level(mp3Turns, s) - Level(mp3Flat, s),
                0.5)
        << "slider " << s + 1 << " among opposite neighbours";
  // Seeking with the bank on lands where asked and plays to the same end.
  const TRun rest = Decode(flac, 3, 40, 30000);
  EXPECT_EQ(rest.frames, flacFlat.frames - 30000);
}

}  // namespace
