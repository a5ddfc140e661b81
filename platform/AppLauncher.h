// Starting another program without waiting for it: the help page, web and mail addresses
// are handed to the desktop's opener ("xdg-open"). Start failures come back as the
// launcher's classic result codes (2 "File was not found", 8 out of memory, ...); a code of
// 32 or more means the program was started.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace platform {

class AppLauncher {
 public:
  virtual ~AppLauncher() = default;

  // Starts program (looked up in PATH when it has no "/") with args, detached in a session
  // of its own; returns at once. Result: kLaunchStarted, or the code for the failure.
  virtual int Start(const std::string& program, const std::vector<std::string>& args) = 0;

  // As Start; when the program has been started, onExit gets its exit status (128 + the
  // signal number when a signal ended it) once it ends, on a thread of its own. A launcher
  // that cannot watch its programs never calls it.
  virtual int StartWatched(const std::string& program, const std::vector<std::string>& args,
                           std::function<void(int status)> onExit) {
    (void)onExit;
    return Start(program, args);
  }
};

// Result of a successful start (any value of 32 or more means success).
constexpr int kLaunchStarted = 33;

// The program that opens documents and addresses with the user's preferred application.
inline const char* const kOpenCommand = "xdg-open";

// The launcher code for a start failure with this errno value.
int LaunchErrorCode(int err);

// The message for a launcher code: "File was not found" for 2, "No error" from 32 on,
// "No execution" for -1 (never launched), empty for codes without a message.
std::string LaunchErrorText(int code);

// The launcher in use: the real one unless a test has put another in its place.
AppLauncher& Launcher();

// Puts launcher in place of the real one (nullptr restores the real one). The caller keeps
// ownership and must restore before the launcher dies.
void SetLauncher(AppLauncher* launcher);

}  // namespace platform
