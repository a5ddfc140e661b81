#include "FullDisk.h"

TFullDisk::TFullDisk() {
  struct sigaction ignore {};
  ignore.sa_handler = SIG_IGN;
  sigaction(SIGXFSZ, &ignore, &savedAction_);
  getrlimit(RLIMIT_FSIZE, &saved_);
  rlimit full = saved_;
  full.rlim_cur = 8;
  setrlimit(RLIMIT_FSIZE, &full);
}

TFullDisk::~TFullDisk() {
  setrlimit(RLIMIT_FSIZE, &saved_);
  sigaction(SIGXFSZ, &savedAction_, nullptr);
}
