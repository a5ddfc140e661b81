#include "InstanceLock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>

TInstanceLock::TInstanceLock(const std::string& path) : path_(path) { TryAgain(); }

TInstanceLock::~TInstanceLock() {
  if (fd_ >= 0) ::close(fd_);
}

// Close-on-exec: a browser started for the help page must not keep the lock after the player
// has ended.
bool TInstanceLock::TryAgain() {
  if (held_) return true;
  if (fd_ < 0) {
    // The configuration folder is missing on a first start.
    std::error_code error;
    std::filesystem::create_directories(std::filesystem::path(path_).parent_path(), error);
    fd_ = ::open(path_.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
  }
  if (fd_ < 0) {
    held_ = true;
    return held_;
  }
  while (::flock(fd_, LOCK_EX | LOCK_NB) != 0) {
    if (errno != EINTR) return false;
  }
  held_ = true;
  return held_;
}
