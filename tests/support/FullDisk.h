// While it lives, no file of this process can grow beyond a few bytes, as on a full disk and
// for root as well: writes fail (EFBIG) rather than raise SIGXFSZ.
#pragma once

#include <signal.h>
#include <sys/resource.h>

class TFullDisk {
 public:
  TFullDisk();
  ~TFullDisk();
  TFullDisk(const TFullDisk&) = delete;
  TFullDisk& operator=(const TFullDisk&) = delete;

 private:
  rlimit saved_{};
  struct sigaction savedAction_ {};
};
