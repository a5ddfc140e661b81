#include "EndSignals.h"

#include <fcntl.h>
#include <unistd.h>

#include <QGuiApplication>
#include <QSocketNotifier>
#include <cerrno>
#include <csignal>

namespace {

constexpr int kSignals[] = {SIGTERM, SIGINT, SIGHUP};
volatile std::sig_atomic_t g_writeEnd = -1;

void OnSignal(int) {
  // Only async-signal-safe calls here; the GUI thread does the rest.
  const int saved = errno;
  const char byte = 1;
  if (g_writeEnd >= 0) (void)!write(g_writeEnd, &byte, 1);
  errno = saved;
}

}  // namespace

TEndSignals::TEndSignals(std::function<void()> onEnd, QObject* parent)
    : QObject(parent), onEnd_(std::move(onEnd)) {
  if (pipe2(pipe_, O_CLOEXEC | O_NONBLOCK) == 0) {
    notifier_ = new QSocketNotifier(pipe_[0], QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, [this] {
      char bytes[16];
      while (read(pipe_[0], bytes, sizeof bytes) > 0) {
      }
      End();
    });
    g_writeEnd = pipe_[1];
    struct sigaction action {};
    action.sa_handler = OnSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int s : kSignals) sigaction(s, &action, nullptr);
  }
  if (auto* app = qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
    connect(app, &QGuiApplication::commitDataRequest, this, &TEndSignals::End);
}

TEndSignals::~TEndSignals() {
  if (pipe_[0] < 0) return;
  for (int s : kSignals) std::signal(s, SIG_DFL);
  g_writeEnd = -1;
  close(pipe_[0]);
  close(pipe_[1]);
}

void TEndSignals::End() {
  if (ended_) return;
  ended_ = true;
  if (onEnd_) onEnd_();
}
