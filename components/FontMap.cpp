#include "FontMap.h"

#include <QString>
#include <algorithm>

#include "CaseInsensitive.h"

QFont FontFromPixels(std::string_view family, int pixels, bool bold) {
  QFont font;
  if (platform::EqualsIgnoringCase(family, "Times New Roman")) {
    font.setFamily(QStringLiteral("Liberation Serif"));
  } else if (platform::EqualsIgnoringCase(family, "Small Fonts")) {
    // The original face is a bitmap font: keep its hard edges, and snap glyphs and advances
    // to whole pixels so that capitals at 8-9 px keep even spacing.
    font.setFamily(QStringLiteral("Liberation Sans"));
    font.setStyleStrategy(QFont::NoAntialias);
    font.setHintingPreference(QFont::PreferFullHinting);
  } else if (platform::EqualsIgnoringCase(family, "Arial") || family.empty()) {
    font.setFamily(QStringLiteral("Liberation Sans"));
  } else {
    font.setFamily(QString::fromLatin1(family.data(), static_cast<qsizetype>(family.size())));
  }
  font.setPixelSize(std::max(1, pixels));
  font.setBold(bold);
  return font;
}

QFont FontFromPoints(std::string_view family, int points, bool bold) {
  // Rounded as the forms did: points x 96 / 72, halves up.
  return FontFromPixels(family, (points * 96 * 2 + 72) / (72 * 2), bold);
}
