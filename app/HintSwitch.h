// THintSwitch: switches the tooltips of chosen widgets off and on again without touching
// their texts, which the window keeps up to date either way (the volume bar's hint follows
// the volume).
#pragma once

#include <QObject>

class QWidget;

class THintSwitch : public QObject {
 public:
  explicit THintSwitch(QObject* parent = nullptr) : QObject(parent) {}

  void SetShowHint(QWidget* widget, bool on);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
};
