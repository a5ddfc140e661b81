// TEffects: how a label draws its text: raised, lowered or custom highlight and shadow
// passes, a colour graduation, stretching and rotation, blinking. The defaults draw plain
// text.
#pragma once

#include <QColor>
#include <QFont>
#include <QImage>
#include <QString>

#include "ColorValue.h"

enum TGraduateStyle { gsNone, gsHorizontal, gsVertical };
enum TEffectStyle { esNormal, esExtrude, esGraduate, esEveryOther };
enum TEffectDirection {
  edNone,
  edUp,
  edUpRight,
  edRight,
  edDownRight,
  edDown,
  edDownLeft,
  edLeft,
  edUpLeft
};
enum TLabelStyle { lsNormal, lsRaised, lsLowered, lsCustom, lsFlying };
enum TStretchMode { smFixed, smVariable };

class TEffects {
 public:
  int Angle = 0;  // degrees, counter-clockwise
  bool Blinking = false;
  int BlinkRate = 500;  // ms
  TColor ColorHighlight = clBtnHighlight;
  TColor ColorShadow = clBtnShadow;
  TColor ColorGraduate = clBlue;
  TGraduateStyle GraduateStyle = gsNone;
  int GraduateSteps = 25;
  int HighlightDepth = 0;
  int ShadowDepth = 0;
  TEffectStyle HighlightEffect = esNormal;
  TEffectStyle ShadowEffect = esNormal;
  TEffectDirection DirectionHighlight = edUpLeft;
  TEffectDirection DirectionShadow = edDownRight;
  TLabelStyle LabelStyle = lsNormal;
  // smFixed scales both axes by StretchRatioY; smVariable scales each axis by its own ratio.
  TStretchMode StretchMode = smFixed;
  int StretchRatioX = 100;  // percent
  int StretchRatioY = 100;

  bool operator==(const TEffects&) const = default;

  // The text on one line in color with these effects, on a transparent background, one
  // pixel row taller than the text so its bottom-left pixel is always background.
  // mnemonics: an ampersand marks the next letter instead of showing. pixelRatio: screen
  // pixels per layout pixel; the image has that device pixel ratio, so text on a zoomed or
  // HiDPI screen is drawn at the screen's resolution, not enlarged. A mark that reaches
  // above the font's ascent (an accent on a capital) makes the image taller at the top, so
  // every letter is whole; text without such marks gives the image it always did.
  QImage Render(const QString& text, const QFont& font, const QColor& color, bool mnemonics,
                qreal pixelRatio = 1) const;
  // A transparent image of size layout pixels at pixelRatio (at least 1).
  static QImage Blank(QSize size, qreal pixelRatio);

 private:
  static QImage WithoutEmptyRowsAbove(const QImage& image, int rows);
};
