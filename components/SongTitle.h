// The display title of a song row, as the player shows it: the track number, ". " and the
// title from the file's ID3v1 tag, else its ID3v2 tag, or the file name without its extension when
// there is none.
#pragma once

#include <string>

class TMP3Tag;

std::string SongTitle(TMP3Tag& tag, const std::string& fullPath, const std::string& track);
