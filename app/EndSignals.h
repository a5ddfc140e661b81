// Turns SIGTERM, SIGINT and SIGHUP and the end of the desktop session into one call of
// OnEnd on the GUI thread, so a logout or a kill closes the program as its close button
// does: the decoder stopped and the settings written.
#pragma once

#include <QObject>
#include <functional>

class QSocketNotifier;

class TEndSignals : public QObject {
 public:
  // Only one instance may exist at a time: the signal handlers write to its pipe.
  explicit TEndSignals(std::function<void()> onEnd, QObject* parent = nullptr);
  ~TEndSignals() override;
  TEndSignals(const TEndSignals&) = delete;
  TEndSignals& operator=(const TEndSignals&) = delete;

  // Runs OnEnd unless it has run already.
  void End();

 private:
  std::function<void()> onEnd_;
  bool ended_ = false;
  int pipe_[2] = {-1, -1};
  QSocketNotifier* notifier_ = nullptr;
};
