// MP3 files for the tests that play through the real engine: a sine tone made by sox and
// encoded by lame.
#pragma once

#include <string>

struct TTestSong {
  double Seconds = 1;
  int Channels = 1;
  int Kbps = 128;
  int Frequency = 440;
  std::string Title;  // no title tag when empty
  bool Id3v1Only = false;
};

// Encodes song into the file at path, creating its folder; false when sox or lame fail.
bool MakeSong(const std::string& path, const TTestSong& song);
