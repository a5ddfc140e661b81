// The display title of a song row, as the player shows it: the track number, ". " and the
// title from an MP3's ID3v1 tag, else its ID3v2 tag; from the Vorbis comment of a FLAC, Ogg
// Vorbis or Opus file; or the file name without its extension when there is none.
#pragma once

#include <string>

class TMP3Tag;

std::string SongTitle(TMP3Tag& tag, const std::string& fullPath, const std::string& track);
