// TInstanceLock: one player per settings file. The lock is a file beside the settings held
// with flock(), so the system lets it go when the player ends in any way, a kill included.
#pragma once

#include <string>

class TInstanceLock {
 public:
  // Takes the lock on path (created when missing); Held() tells whether it was taken.
  explicit TInstanceLock(const std::string& path);
  ~TInstanceLock();
  TInstanceLock(const TInstanceLock&) = delete;
  TInstanceLock& operator=(const TInstanceLock&) = delete;

  // Tries again to take a lock another player held.
  bool TryAgain();
  // False while another player holds it; true too when the file cannot be made at all (a
  // read-only configuration folder): the settings cannot be written over then either.
  bool Held() const { return held_; }
  // Held through the file itself, not only for want of one.
  bool Taken() const { return held_ && fd_ >= 0; }

 private:
  std::string path_;
  int fd_ = -1;
  bool held_ = false;
};
