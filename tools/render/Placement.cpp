#include "Placement.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <algorithm>
#include <stdexcept>

#include "ExtProgressBar.h"
#include "FEJpeg.h"
#include "RunLabel.h"

QWidget* PlacePicture(QWidget* parent, const std::string& file, const QRect& place, bool stretch) {
  auto* picture = new TFEJpeg(parent);
  picture->setGeometry(place);
  picture->SetStretch(stretch);
  try {
    picture->LoadFromFile(file);
  } catch (const std::exception& e) {
    throw std::runtime_error(file + ": " + e.what());
  }
  return picture;
}

void PlaceBandSliders(QWidget* parent, int left, int top, int spacing,
                      std::initializer_list<int> positions) {
  for (const int position : positions) {
    auto* slider = new TExtProgressBar(parent);
    slider->setGeometry(left, top, 10, 84);
    slider->SetRange(-40, 40);
    slider->SetOrientation(pbVertical);
    slider->SetSmooth(true);
    slider->SetSelectionColor(QColor(128, 128, 128));
    slider->SetColor(QColor(192, 192, 192));
    slider->SetPosition(position);
    left += spacing;
  }
}

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
