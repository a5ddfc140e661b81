// Reads the ID3v1 tag in the last 128 bytes of an MP3 file. Assigning Filename reads at once;
// the component never writes to a file.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

class TMP3Tag {
 public:
  TMP3Tag() = default;

  // Stores the name, reads its tag, then fires onFileNameChange. A missing file, one of 128
  // bytes or less and one without "TAG" are reported through Valid, Error and onError. A
  // file that exists but cannot be opened throws std::system_error to the caller.
  void SetFilename(const std::string& filename);
  const std::string& Filename() const { return filename_; }

  const std::string& Title() const { return title_; }
  const std::string& Artist() const { return artist_; }
  const std::string& Album() const { return album_; }
  const std::string& Year() const { return year_; }
  const std::string& Comment() const { return comment_; }
  std::uint8_t GenreID() const { return genreId_; }

  // These change only the record in memory (texts cut to the field's length) and fire onChange.
  void SetTitle(const std::string& value);
  void SetArtist(const std::string& value);
  void SetAlbum(const std::string& value);
  void SetYear(const std::string& value);
  void SetComment(const std::string& value);
  void SetGenreID(std::uint8_t value);

  bool Valid() const { return valid_; }
  // Message of the last failed read; a successful read leaves it as it was.
  const std::string& Error() const { return error_; }
  // Name of the genre of the last tag read; empty without a tag or for numbers past the list.
  std::string Genre() const;

  bool EditAutoSave() const { return editAutoSave_; }
  void SetEditAutoSave(bool value) { editAutoSave_ = value; }

  std::function<void(TMP3Tag* sender)> onFileNameChange;
  std::function<void(TMP3Tag* sender)> onChange;
  std::function<void(TMP3Tag* sender, const std::string& error)> onError;

 private:
  void ReadTag();
  void Reset();
  void Changed();
  void Assign(std::string& field, const std::string& value, std::size_t length);

  std::string filename_;
  std::string title_, artist_, album_, year_, comment_;
  std::uint8_t genreId_ = 0;
  bool valid_ = false;
  std::string error_;
  bool editAutoSave_ = true;
};
