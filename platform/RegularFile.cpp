#include "RegularFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

namespace platform {

std::optional<std::string> ReadRegularFile(const std::string& path, std::size_t maxBytes,
                                           std::size_t firstBytes) {
  const int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
  if (fd < 0) return std::nullopt;
  struct stat info {};
  std::optional<std::string> text;
  if (fstat(fd, &info) == 0 && S_ISREG(info.st_mode) &&
      static_cast<unsigned long long>(info.st_size) <= maxBytes) {
    text.emplace();
    text->reserve(std::min(static_cast<std::size_t>(info.st_size), firstBytes));
    char buffer[65536];
    while (text->size() < firstBytes) {
      const ssize_t n = read(fd, buffer, std::min(sizeof buffer, firstBytes - text->size()));
      if (n < 0 && errno == EINTR) continue;
      // A file that grows past the limit while read is refused as well.
      if (n < 0 || (n > 0 && text->size() + static_cast<std::size_t>(n) > maxBytes)) text.reset();
      if (n <= 0 || !text) break;
      text->append(buffer, static_cast<std::size_t>(n));
    }
  }
  close(fd);
  return text;
}

}  // namespace platform
