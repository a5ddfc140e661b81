#include "SettleRuns.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <algorithm>

#include "RunLabel.h"

bool SettleRunLabels(std::initializer_list<TRunLabel*> labels) {
  for (TRunLabel* label : labels) {
    label->SetSpeed(1);
    label->SetPixelsPerStep(1);
    label->StartRun(0, 0);
  }
  QElapsedTimer clock;
  clock.start();
  while (std::any_of(labels.begin(), labels.end(), [](TRunLabel* l) { return l->Running(); })) {
    if (clock.elapsed() > 3000) return false;
    QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
  }
  return true;
}
