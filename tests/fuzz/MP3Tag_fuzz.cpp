// The tag reader over arbitrary file contents: it must never crash, and what it reports must
// stay within the field limits.
#include <sys/mman.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <string>

#include "MP3Tag.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // An in-memory file keeps the disk out of the loop; the reader sees an ordinary path.
  static const int fd = memfd_create("song.mp3", 0);
  if (fd < 0 || ftruncate(fd, 0) != 0) return 0;
  if (size > 0 && pwrite(fd, data, size, 0) != static_cast<ssize_t>(size)) return 0;
  static const std::string path = "/proc/self/fd/" + std::to_string(fd);

  TMP3Tag tag;
  int errors = 0;
  tag.onError = [&](TMP3Tag*, const std::string&) { ++errors; };
  tag.SetFilename(path);
  if (tag.Title().size() > 30 || tag.Artist().size() > 30 || tag.Year().size() > 4)
    __builtin_trap();
  if (tag.Valid() == (errors == 1)) __builtin_trap();
  if (tag.Valid() !=
      (size > 128 && data[size - 128] == 'T' && data[size - 127] == 'A' && data[size - 126] == 'G'))
    __builtin_trap();
  (void)tag.Genre();
  return 0;
}
