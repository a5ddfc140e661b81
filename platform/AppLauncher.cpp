#include "AppLauncher.h"

#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>

#include <cerrno>
#include <thread>

extern char** environ;

namespace platform {

namespace {

class PosixLauncher : public AppLauncher {
 public:
  int Start(const std::string& program, const std::vector<std::string>& args) override {
    return StartWatched(program, args, {});
  }

  int StartWatched(const std::string& program, const std::vector<std::string>& args,
                   std::function<void(int status)> onExit) override {
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(program.c_str()));
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);

    posix_spawnattr_t attr;
    if (posix_spawnattr_init(&attr) != 0) return LaunchErrorCode(ENOMEM);
    // Own session and default signal handling, so the child outlives us and is not hit
    // by a Ctrl+C meant for the player's terminal.
    sigset_t defaults;
    sigemptyset(&defaults);
    sigaddset(&defaults, SIGINT);
    sigaddset(&defaults, SIGPIPE);
    posix_spawnattr_setsigdefault(&attr, &defaults);
    posix_spawnattr_setflags(&attr, POSIX_SPAWN_SETSID | POSIX_SPAWN_SETSIGDEF);
    pid_t pid = 0;
    const int rc = posix_spawnp(&pid, program.c_str(), nullptr, &attr, argv.data(), environ);
    posix_spawnattr_destroy(&attr);
    if (rc != 0) return LaunchErrorCode(rc);
    // Nobody waits for the program, but its exit status must be collected so it does not
    // linger as a zombie.
    std::thread([pid, onExit = std::move(onExit)] {
      int status = 0;
      pid_t ended;
      while ((ended = waitpid(pid, &status, 0)) < 0 && errno == EINTR) {
      }
      if (ended != pid || !onExit) return;
      onExit(WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status));
    }).detach();
    return kLaunchStarted;
  }
};

PosixLauncher g_real;
AppLauncher* g_current = &g_real;

}  // namespace

int LaunchErrorCode(int err) {
  switch (err) {
    case ENOENT:
      return 2;
    case ENOTDIR:
    case ELOOP:
    case ENAMETOOLONG:
      return 3;
    case EACCES:
    case EPERM:
    case ETXTBSY:
      return 5;
    case ENOMEM:
    case EAGAIN:
    case E2BIG:
      return 8;
    case ENOEXEC:
      return 11;
    case ELIBBAD:
      return 20;
    default:
      return 0;
  }
}

std::string LaunchErrorText(int code) {
  if (code >= 32) return "No error";
  switch (code) {
    case -1:
      return "No execution";
    case 0:
      return "System was out of memory, executable file was corrupt, or relocations were "
             "invalid";
    case 2:
      return "File was not found";
    case 3:
      return "Path was not found";
    case 5:
      return "Attempt was made to dynamically link to a task, or there was a sharing or "
             "network-protection error";
    case 6:
      return "Library required separate data segments for each task";
    case 8:
      return "There was insufficient memory to start the application";
    case 10:
      return "Windows version was incorrect";
    case 11:
      return "Executable file was invalid. Either it was not a Windows application or there "
             "was an error in the .EXE image";
    case 12:
      return "Application was designed for a different operating system";
    case 13:
      return "Application was designed for MS-DOS 4.0";
    case 14:
      return "Type of executable file was unknown";
    case 15:
      return "Attempt was made to load a real-mode application (developed for an earlier "
             "version of Windows)";
    case 16:
      return "Attempt to load second instance of an executable containing multiple data "
             "segments not marked read-only";
    case 19:
      return "Attempt was made to load a compressed executable file. The file must be "
             "decompressed before it can be loaded";
    case 20:
      return "Dynamic-link library (DLL) file was invalid. One of the DLLs required to run "
             "this application was corrupt";
    case 21:
      return "Application requires 32-bit extensions";
    default:
      return "";
  }
}

AppLauncher& Launcher() { return *g_current; }

void SetLauncher(AppLauncher* launcher) { g_current = launcher ? launcher : &g_real; }

}  // namespace platform
