#include "PrivatePulse.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>

#include "PulseOutput.h"

using namespace std::chrono_literals;

TPrivatePulse::TPrivatePulse(const std::string& folder) : folder_(folder) {
  setenv("PULSE_SERVER", ("unix:" + folder_ + "/native").c_str(), 1);
  listener_ = std::thread([this] { Listen(); });
}

TPrivatePulse::~TPrivatePulse() {
  Signal(SIGTERM);
  unsetenv("PULSE_SERVER");
  stop_ = true;
  listener_.join();
}

bool TPrivatePulse::Start() {
  const std::string home = folder_ + "/home";
  server_ = fork();
  if (server_ == 0) {
    // The server goes with the test, however that ends.
    prctl(PR_SET_PDEATHSIG, SIGTERM);
    setenv("HOME", home.c_str(), 1);
    setenv("XDG_RUNTIME_DIR", folder_.c_str(), 1);
    setenv("XDG_CONFIG_HOME", (home + "/.config").c_str(), 1);
    const std::string native =
        "module-native-protocol-unix auth-anonymous=1 socket=" + folder_ + "/native";
    const std::string log = "--log-target=file:" + folder_ + "/server.log";
    // A pipe taken out at the pace of the clock plays like a sound card; a null sink would
    // hold far more and could not drop what it holds.
    const std::string sink = "module-pipe-sink file=" + folder_ +
                             "/sink sink_name=heard format=s16le rate=44100 channels=2"
                             " use_system_clock_for_timing=yes";
    execlp("pulseaudio", "pulseaudio", "-n", "--daemonize=no", "--exit-idle-time=-1",
           "--use-pid-file=no", "-L", native.c_str(), "-L", sink.c_str(), log.c_str(), nullptr);
    _exit(127);
  }
  for (int i = 0; i < 100; ++i) {
    std::string error;
    if (xaudio::TPulseOutput().Open("", error)) return true;
    std::this_thread::sleep_for(100ms);
  }
  return false;
}

void TPrivatePulse::Signal(int signal) {
  if (server_ <= 0) return;
  kill(server_, signal);
  if (signal == SIGKILL || signal == SIGTERM) {
    waitpid(server_, nullptr, 0);
    server_ = 0;
  }
}

void TPrivatePulse::Listen() {
  const std::string pipe = folder_ + "/sink";
  int16_t sound[2048];
  while (!stop_) {
    // The server makes the pipe when it starts, and a new one when it starts again.
    const int fd = open(pipe.c_str(), O_RDONLY | O_NONBLOCK);
    if (fd < 0) {
      std::this_thread::sleep_for(20ms);
      continue;
    }
    while (!stop_) {
      pollfd p{fd, POLLIN, 0};
      if (poll(&p, 1, 50) <= 0) continue;
      const ssize_t n = read(fd, sound, sizeof sound);
      if (n == 0) break;
      if (n < 0) continue;
      std::lock_guard lock(heardMutex_);
      heard_.insert(heard_.end(), sound, sound + n / 2);
    }
    close(fd);
    std::this_thread::sleep_for(20ms);
  }
}

std::vector<int16_t> TPrivatePulse::Heard() {
  std::lock_guard lock(heardMutex_);
  return heard_;
}

void TPrivatePulse::ClearHeard() {
  std::lock_guard lock(heardMutex_);
  heard_.clear();
}

bool TPrivatePulse::HearsSound(std::chrono::milliseconds timeout) {
  const auto until = std::chrono::steady_clock::now() + timeout;
  do {
    for (int16_t s : Heard())
      if (std::abs(s) > 200) return true;
    std::this_thread::sleep_for(50ms);
  } while (std::chrono::steady_clock::now() < until);
  return false;
}
