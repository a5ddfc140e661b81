// Titles and covers of FLAC, Ogg Vorbis and Opus files written by their own encoders.
#include "XiphTag.h"

#include <gtest/gtest.h>
#include <sys/inotify.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "ID3v2Tag.h"
#include "MP3Tag.h"
#include "SongTitle.h"
#include "TempTree.h"

namespace {

std::string Bytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

TEST(XiphTag, TitlesAndCoversFromEachFormatsOwnTags) {
  TempTree tree;
  const std::string dir = tree.Path("");
  const std::string cover = dir + "cover.jpg";
  const std::string make =
      "cd '" + dir + "' && sox -n -r 44100 -c 2 -b 16 s.wav synth 0.2 sine 440 && " +
      "convert -size 16x16 xc:red cover.jpg && " +
      "flac -s -T 'TITLE=Ångström' --picture='3||||cover.jpg' -o titled.flac s.wav && " +
      "flac -s -o 'Plain Song.flac' s.wav && oggenc -Q -t 'Vorbis title' -o v.ogg s.wav && " +
      "cp v.ogg v.oga && opusenc --quiet --title 'Opus title' --picture cover.jpg s.wav o.opus";
  ASSERT_EQ(std::system(make.c_str()), 0);

  TXiphTag flac(dir + "titled.flac");
  EXPECT_EQ(flac.Title(), "Ångström");
  EXPECT_EQ(flac.Cover(), Bytes(cover));
  TXiphTag opus(dir + "o.opus");
  EXPECT_EQ(opus.Title(), "Opus title");
  EXPECT_EQ(opus.TakeCover(), Bytes(cover));
  EXPECT_TRUE(TXiphTag(dir + "v.ogg").Cover().empty());

  TMP3Tag tag;
  EXPECT_EQ(SongTitle(tag, dir + "v.ogg", "1"), "1. Vorbis title");
  EXPECT_EQ(SongTitle(tag, dir + "v.oga", "2"), "2. Vorbis title");
  EXPECT_EQ(SongTitle(tag, dir + "o.opus", "3"), "3. Opus title");
  // Without a title, the name loses its whole extension, however long.
  EXPECT_EQ(SongTitle(tag, dir + "Plain Song.flac", "4"), "4. Plain Song");
  // A file that is not what its name says has no tags, and its name stands in.
  std::ofstream(dir + "fake.opus") << "not an Ogg stream";
  EXPECT_EQ(SongTitle(tag, dir + "fake.opus", "5"), "5. fake");
  EXPECT_EQ(SongTitle(tag, dir + "missing.ogg", "6"), "6. missing");
}

// Sync tools and library watchers take a song closed after writing for a changed one.
TEST(XiphTag, ReadingTagsNeverOpensASongForWriting) {
  TempTree tree;
  const std::string dir = tree.Path("");
  const std::string make = "cd '" + dir + "' && sox -n -r 44100 -c 2 -b 16 s.wav synth 0.2 sine " +
                           "440 && lame --quiet --id3v2-only --tt 'Mp3 title' s.wav s.mp3 && " +
                           "flac -s -T 'TITLE=Flac title' -o s.flac s.wav";
  ASSERT_EQ(std::system(make.c_str()), 0);
  const int watch = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
  ASSERT_GE(watch, 0);
  ASSERT_GE(inotify_add_watch(watch, dir.c_str(), IN_CLOSE_WRITE), 0);
  TMP3Tag tag;
  EXPECT_EQ(SongTitle(tag, dir + "s.mp3", "1"), "1. Mp3 title");
  EXPECT_EQ(SongTitle(tag, dir + "s.flac", "2"), "2. Flac title");
  EXPECT_TRUE(TID3v2Tag(dir + "s.mp3").Cover().empty());
  char events[4096];
  EXPECT_LT(read(watch, events, sizeof events), 0) << "a song was opened for writing";
  close(watch);
}

}  // namespace
