// The ID3v2 readers (TagLib, then the tolerant one) over arbitrary file contents: they must
// never crash or hang, the title must stay within its cap and a cover within the file.
#include <sys/mman.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <string>

#include "ID3v2Tag.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const int fd = memfd_create("song.mp3", 0);
  if (fd < 0 || ftruncate(fd, 0) != 0) return 0;
  if (size > 0 && pwrite(fd, data, size, 0) != static_cast<ssize_t>(size)) return 0;
  static const std::string path = "/proc/self/fd/" + std::to_string(fd);

  const TID3v2Tag tag(path);
  if (tag.Title().size() > 4 * TID3v2Tag::kMaxTitle) __builtin_trap();
  if (tag.Cover().size() > size) __builtin_trap();
  return 0;
}
