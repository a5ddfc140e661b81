#include "FontMap.h"

#include <QString>
#include <algorithm>

#include "CaseInsensitive.h"

QFont FontFromPixels(std::string_view family, int pixels, bool bold) {
  QFont font;
  if (platform::EqualsIgnoringCase(family, "Times New Roman")) {
    font.setFamily(QStringLiteral("Liberation Serif"));
  } else if (platform::EqualsIgnoringCase(family, "Small Fonts")) {
    // DejaVu Sans is hinted for the screen down to a few pixels: with its hinting and grey
    // smoothing, capitals and lower case at 8-9 px stay apart where an unsmoothed face
    // merges them. Grey, not coloured, smoothing: the text looks the same on every screen.
    font.setFamily(QStringLiteral("DejaVu Sans"));
    font.setStyleStrategy(
        QFont::StyleStrategy(QFont::PreferAntialias | QFont::NoSubpixelAntialias));
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

QFont FixedPitch(const QFont& font) {
  QFont fixed = font;
  fixed.setFamily(font.family() == QStringLiteral("DejaVu Sans")
                      ? QStringLiteral("DejaVu Sans Mono")
                      : QStringLiteral("Liberation Mono"));
  fixed.setFixedPitch(true);
  // setStyleHint resets the style strategy unless it is given again.
  fixed.setStyleHint(QFont::Monospace, font.styleStrategy());
  return fixed;
}
