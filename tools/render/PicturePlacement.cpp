#include <stdexcept>

#include "ExtProgressBar.h"
#include "FEJpeg.h"
#include "Placement.h"

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
