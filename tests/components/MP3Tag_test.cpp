// The ID3v1 reader: which files have a tag, how each field is taken, and what a file
// without a tag reports.
#include "MP3Tag.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QTemporaryDir>
#include <cstdlib>
#include <fstream>
#include <vector>

namespace {

// A tag trailer: fields are copied as given and the rest stays zero.
std::string Trailer(const std::string& id, const std::string& title, const std::string& artist = "",
                    const std::string& album = "", const std::string& year = "",
                    const std::string& comment = "", unsigned char genre = 0) {
  std::string tag(128, '\0');
  tag.replace(0, id.size(), id);
  tag.replace(3, title.size(), title);
  tag.replace(33, artist.size(), artist);
  tag.replace(63, album.size(), album);
  tag.replace(93, year.size(), year);
  tag.replace(97, comment.size(), comment);
  tag[127] = static_cast<char>(genre);
  return tag;
}

class MP3TagTest : public testing::Test {
 protected:
  std::string Write(const std::string& name, const std::string& bytes) {
    std::string path = dir_.path().toStdString() + "/" + name;
    std::ofstream(path, std::ios::binary) << bytes;
    return path;
  }
  std::string WithTag(const std::string& name, const std::string& trailer,
                      std::size_t audio = 500) {
    return Write(name, std::string(audio, '\xff') + trailer);
  }

  QTemporaryDir dir_;
  TMP3Tag tag_;
};

TEST_F(MP3TagTest, ReadsTheFieldsOfATag) {
  tag_.SetFilename(
      WithTag("a.mp3", Trailer("TAG", "  Title  ", "Artist   ", "Album", "1999", "Comment", 17)));
  EXPECT_TRUE(tag_.Valid());
  EXPECT_EQ(tag_.Title(), "  Title") << "trailing spaces go, leading ones stay";
  EXPECT_EQ(tag_.Artist(), std::string("Artist   ") + std::string(21, '\0'))
      << "artist takes all thirty bytes; trailing zeros are not spaces";
  EXPECT_EQ(tag_.Year(), "1999");
  EXPECT_EQ(tag_.GenreID(), 17);
  EXPECT_EQ(tag_.Genre(), "Rock");
  EXPECT_EQ(tag_.Album(), "") << "album and comment are never taken";
  EXPECT_EQ(tag_.Comment(), "");
  EXPECT_EQ(tag_.Error(), "");
}

TEST_F(MP3TagTest, TitleSkipsZeroBytesAndArtistKeepsSpacesTrimmed) {
  tag_.SetFilename(
      WithTag("a.mp3", Trailer("TAG", std::string("AB\0CD", 5),
                               std::string(30, 'x').replace(25, 5, "     "), "", "99  ", "", 255)));
  EXPECT_EQ(tag_.Title(), "ABCD");
  EXPECT_EQ(tag_.Artist(), std::string(25, 'x'));
  EXPECT_EQ(tag_.Year(), "99");
  EXPECT_EQ(tag_.GenreID(), 255);
  EXPECT_EQ(tag_.Genre(), "") << "past the end of the genre list";

  tag_.SetFilename(WithTag("b.mp3", Trailer("TAG", std::string(30, 'T'), "", "", "", "", 114)));
  EXPECT_EQ(tag_.Title(), std::string(30, 'T'));
  EXPECT_EQ(tag_.Genre(), "Folklore");
  tag_.SetFilename(WithTag("c.mp3", Trailer("TAG", std::string(30, ' '))));
  EXPECT_TRUE(tag_.Valid());
  EXPECT_EQ(tag_.Title(), "") << "an all-blank title stays empty";
}

TEST_F(MP3TagTest, SizeLimits) {
  std::string tagOnly = Trailer("TAG", "Song");
  tag_.SetFilename(Write("128.mp3", tagOnly));
  EXPECT_FALSE(tag_.Valid());
  EXPECT_EQ(tag_.Error(), "File too small to be a MP3 file!");
  EXPECT_EQ(tag_.Title(), "") << "a file too small has no title at all";
  EXPECT_EQ(tag_.GenreID(), 12);

  tag_.SetFilename(Write("129.mp3", "x" + tagOnly));
  EXPECT_TRUE(tag_.Valid());
  EXPECT_EQ(tag_.Title(), "Song");
  EXPECT_EQ(tag_.Error(), "File too small to be a MP3 file!") << "success does not clear Error";

  tag_.SetFilename(Write("empty.mp3", ""));
  EXPECT_EQ(tag_.Error(), "File too small to be a MP3 file!");
}

TEST_F(MP3TagTest, FileWithoutTagReportsItsOwnName) {
  tag_.SetFilename(WithTag("song.mp3", Trailer("tag", "Lower case is no tag", "A", "", "2000")));
  EXPECT_FALSE(tag_.Valid());
  EXPECT_EQ(tag_.Title(), "song.mp3");
  EXPECT_EQ(tag_.Artist(), "");
  EXPECT_EQ(tag_.Year(), "");
  EXPECT_EQ(tag_.GenreID(), 12);
  EXPECT_EQ(tag_.Error(), "MP3 does not contain a mp3 tag or wrong file format!");

  const std::string longName = "0123456789012345678901234567890123456789.mp3";
  tag_.SetFilename(Write(longName, std::string(300, 'a')));
  EXPECT_EQ(tag_.Title(), longName.substr(0, 30));

  // UTF-8 names are cut at 30 characters, never inside one; a name that is not UTF-8 at
  // 30 bytes.
  const std::vector<std::pair<std::string, std::string>> names = {
      {"09 Привет мир песня длинная.mp3", "09 Привет мир песня длинная.mp"},
      {"07 Καλημέρα κόσμε τραγούδι μακρύ.mp3", "07 Καλημέρα κόσμε τραγούδι μακ"},
      {"03 こんにちは世界とても長い歌の名前です本当に長い題名の歌.mp3",
       "03 こんにちは世界とても長い歌の名前です本当に長い題名の歌"},
      {std::string(29, 'x') + "\xe9\xe9.mp3", std::string(29, 'x') + "\xe9"}};
  for (const auto& [name, title] : names) {
    tag_.SetFilename(Write(name, std::string(300, 'a')));
    EXPECT_EQ(tag_.Title(), title);
  }
  tag_.SetTitle("Ωραίο τραγούδι που δεν χωράει ποτέ");
  EXPECT_EQ(tag_.Title(), "Ωραίο τραγούδι που δεν χωράει ");
}

TEST_F(MP3TagTest, MissingFilesFoldersAndPipes) {
  std::vector<std::string> errors;
  tag_.onError = [&](TMP3Tag* sender, const std::string& error) {
    EXPECT_EQ(sender, &tag_);
    errors.push_back(error);
  };
  tag_.SetFilename(dir_.path().toStdString() + "/missing.mp3");
  EXPECT_FALSE(tag_.Valid());
  EXPECT_EQ(tag_.Error(), "File does not exist!");
  tag_.SetFilename(dir_.path().toStdString());
  EXPECT_EQ(tag_.Error(), "File does not exist!") << "a folder is no file";
  tag_.SetFilename("");
  EXPECT_EQ(tag_.Error(), "File does not exist!");

  std::string fifo = dir_.path().toStdString() + "/pipe.mp3";
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  tag_.SetFilename(fifo);  // must return at once, not wait for a writer
  EXPECT_EQ(tag_.Error(), "File too small to be a MP3 file!");

  tag_.SetFilename(WithTag("ok.mp3", Trailer("TAG", "x")));
  EXPECT_EQ(errors,
            (std::vector<std::string>{"File does not exist!", "File does not exist!",
                                      "File does not exist!", "File too small to be a MP3 file!"}))
      << "no error event for a valid tag";
}

TEST_F(MP3TagTest, EveryAssignmentRereadsAndNotifies) {
  int changes = 0;
  tag_.onFileNameChange = [&](TMP3Tag*) {
    ++changes;
    EXPECT_TRUE(tag_.Valid()) << "the event comes after the read";
  };
  std::string file = WithTag("a.mp3", Trailer("TAG", "First"));
  tag_.SetFilename(file);
  WithTag("a.mp3", Trailer("TAG", "Second"));
  tag_.SetFilename(file);
  EXPECT_EQ(changes, 2);
  EXPECT_EQ(tag_.Title(), "Second");
  EXPECT_EQ(tag_.Filename(), file);
}

TEST_F(MP3TagTest, PropertyAssignmentsChangeOnlyTheRecord) {
  std::string file = WithTag("a.mp3", Trailer("TAG", "Original"));
  tag_.SetFilename(file);
  int changes = 0;
  tag_.onChange = [&](TMP3Tag*) { ++changes; };
  tag_.SetTitle(std::string(40, 't'));
  tag_.SetArtist(std::string(31, 'a'));
  tag_.SetAlbum("Album");
  tag_.SetComment(std::string(35, 'c'));
  tag_.SetYear("20245");
  tag_.SetGenreID(3);
  EXPECT_EQ(changes, 6);
  EXPECT_EQ(tag_.Title(), std::string(30, 't'));
  EXPECT_EQ(tag_.Artist(), std::string(30, 'a'));
  EXPECT_EQ(tag_.Album(), "Album");
  EXPECT_EQ(tag_.Comment(), std::string(30, 'c'));
  EXPECT_EQ(tag_.Year(), "2024");
  EXPECT_EQ(tag_.Genre(), "Dance");
  tag_.SetFilename(file);
  EXPECT_EQ(tag_.Title(), "Original") << "nothing was written to the file";
  EXPECT_TRUE(tag_.EditAutoSave());
}

TEST_F(MP3TagTest, ReadsTheTagLameWrites) {
  const std::string base = dir_.path().toStdString();
  std::string command = "sox -q -n -r 44100 -c 2 '" + base + "/s.wav' trim 0 0.2 && lame --quiet " +
                        "--id3v1-only --tt 'Generated Title' --ta 'Maker' --ty 2001 '" + base +
                        "/s.wav' '" + base + "/s.mp3' 2>/dev/null";
  if (std::system(command.c_str()) != 0) GTEST_SKIP() << "sox or lame not available";
  tag_.SetFilename(base + "/s.mp3");
  EXPECT_TRUE(tag_.Valid());
  EXPECT_EQ(tag_.Title(), "Generated Title");
  EXPECT_EQ(tag_.Year(), "2001");
  EXPECT_EQ(tag_.Artist().substr(0, 5), "Maker");
}

}  // namespace
