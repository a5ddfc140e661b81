// Test media made at test time: sine tones by sox, encoded to MP3 by lame; and a reader
// for the WAV files the engine's WAV sink writes.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "TempDir.h"

struct TTone {
  double seconds = 2.0;
  int rate = 44100;
  int channels = 2;
  double frequency = 440.0;
  bool vbr = false;  // lame -V 4 instead of 128 kbit/s CBR
};

// Encodes `tone` into dir/name; throws when sox or lame fail.
std::string MakeMp3(const TTempDir& dir, const std::string& name, const TTone& tone);
// The same tone as a 16-bit WAV file, without encoding.
std::string MakeWav(const TTempDir& dir, const std::string& name, const TTone& tone);
void WriteBytes(const std::string& path, const std::string& bytes);
std::string ReadBytes(const std::string& path);

struct TWav {
  int rate = 0;
  int channels = 0;
  std::vector<int16_t> samples;  // interleaved
  size_t frames() const { return channels ? samples.size() / channels : 0; }
};

// Reads a 16-bit PCM WAV file; throws on anything else.
TWav ReadWav(const std::string& path);
// Root mean square of channel 0 over frames [first, first + count), on a 0..1 scale.
double Rms(const TWav& wav, size_t first, size_t count);
// Frames of silence `heard` holds beyond the interleaved `expected` samples when that is
// all that differs (nothing lost, nothing repeated) and no silence runs longer than
// `maxRun` frames; -1 otherwise.
int64_t InsertedSilence(const TWav& heard, const std::vector<int16_t>& expected, size_t maxRun);
// The samples without stretches of three or more silent frames: a recording's sound without
// the gaps a busy machine may have left in it.
std::vector<int16_t> WithoutSilence(const TWav& wav);
