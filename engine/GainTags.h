// The loudness facts a song's tags carry: ReplayGain track and album gains in dB and their
// peaks (1.0 = full scale). A missing or malformed value stays NaN and is never applied.
#pragma once

#include <cmath>
#include <string_view>

namespace xaudio {

class TGainTags {
 public:
  float trackGain = NAN, trackPeak = NAN, albumGain = NAN, albumPeak = NAN;

  bool Any() const { return !std::isnan(trackGain) || !std::isnan(albumGain); }
  // One Vorbis comment "KEY=value": REPLAYGAIN_* and the Opus R128_* gains (Q7.8 dB
  // against -23 LUFS, 5 dB under ReplayGain's reference). Keys in any case.
  void AddComment(std::string_view comment);
  // ID3v2 TXXX REPLAYGAIN_*, then RVA2 for what TXXX left open, then the LAME header.
  void ReadMpeg(int fd);

  // "-6.3 dB", "+2 dB", "4.25": nothing else. Out of +-60 dB is taken as damage;
  // the rest is clamped to +-20 dB.
  static bool ParseGain(std::string_view text, float& db);
  static bool ParsePeak(std::string_view text, float& peak);

 private:
  void AddTagValue(std::string_view key, std::string_view value);
  void ReadId3v2(const unsigned char* tag, size_t size, int version);
  void ReadRva2(const unsigned char* frame, size_t size);
  void ReadLame(int fd, long at);
};

}  // namespace xaudio
