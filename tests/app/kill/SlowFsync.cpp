// Preloaded into the player by player_kill_test.sh, never installed: fsync of the settings
// file's temporary replacement (".Sonavera.ini.<pid>.<n>") first sleeps SLOW_FSYNC_MS
// milliseconds, so that a close is still writing its settings when the test kills it.
#include <dlfcn.h>
#include <unistd.h>

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>

extern "C" int fsync(int fd) {
  using Fsync = int (*)(int);
  static const Fsync real = reinterpret_cast<Fsync>(dlsym(RTLD_NEXT, "fsync"));
  char link[64];
  char path[PATH_MAX];
  std::snprintf(link, sizeof link, "/proc/self/fd/%d", fd);
  const ssize_t n = readlink(link, path, sizeof path - 1);
  const char* delay = std::getenv("SLOW_FSYNC_MS");
  if (n > 0 && delay) {
    path[n] = '\0';
    const char* name = std::strrchr(path, '/');
    if (name && std::strncmp(name, "/.Sonavera.ini.", 15) == 0) {
      const long ms = std::atol(delay);
      const timespec pause{ms / 1000, ms % 1000 * 1000000};
      nanosleep(&pause, nullptr);
    }
  }
  return real(fd);
}
