#include "FormPictures.h"

#include "ButtonPainter.h"
#include "Symbols.h"

std::vector<std::pair<std::string, TPixelCanvas>> TFormPictures::Pictures() const {
  const TButtonPainter buttons(theme_);
  std::vector<std::pair<std::string, TPixelCanvas>> out;
  out.emplace_back("MicroImage.bmp", MicroImage());
  out.emplace_back("btnrew2.bmp", buttons.Bare(9, 10, TSymbols::DoublePrevious()));
  out.emplace_back("btnfwd2.bmp", buttons.Bare(9, 10, TSymbols::DoubleNext()));
  out.emplace_back("btnrew1.bmp", buttons.Bare(9, 10, TSymbols::SmallPrevious()));
  out.emplace_back("btnfwd1.bmp", buttons.Bare(9, 10, TSymbols::SmallNext()));
  out.emplace_back("btnPlay2.bmp", buttons.Single(13, 13, TSymbols::SmallPlay()));
  out.emplace_back("btnStop2.bmp", buttons.Single(13, 13, TSymbols::SmallPause()));
  out.emplace_back("btnClose2.bmp", buttons.Single(16, 19, TSymbols::Close()));
  out.emplace_back("imgMiniSong.bmp", SelectorIcon(false));
  out.emplace_back("imgMiniCD.bmp", SelectorIcon(true));
  out.emplace_back("Tray.bmp", TrayIcon());
  out.emplace_back("About.bmp", AboutPicture());
  out.emplace_back("Drive-Disk.bmp", HardDisk());
  out.emplace_back("Drive-CD.bmp", CdDrive());
  return out;
}

TPixelCanvas TFormPictures::MicroImage() const {
  const TTheme& t = theme_;
  TPixelCanvas c(209, 38, t.bodyBottom);
  c.Gradient(QRect(0, 0, 209, 38), t.bodyTop, t.bodyBottom, t.streaks);
  c.Frame(QRect(0, 0, 209, 38), t.outline, t.outline);
  c.Frame(QRect(1, 1, 207, 36), t.rimLight, t.rimDark);

  // Two small displays for the disc and song titles, one for the time.
  auto lcd = [&](const QRect& r) {
    c.Gradient(r.adjusted(1, 1, -1, -1), t.lcdTop, t.lcdBottom);
    c.Scanlines(r.adjusted(1, 1, -1, -1), t.lcdScanline);
    c.Frame(r, t.rimDark, t.rimLight);
  };
  lcd(QRect(2, 3, 130, 15));
  lcd(QRect(2, 20, 130, 15));
  lcd(QRect(159, 20, 36, 16));
  // A tray for the four small disc and song step buttons.
  c.Fill(QRect(134, 6, 18, 29), t.wellFill);
  c.Frame(QRect(133, 5, 20, 31), t.rimDark, t.rimLight);
  c.Paint(TSymbols::Disc(), 3, 6, t.lcdIcon);
  c.Paint(TSymbols::Note(), 5, 24, t.lcdIcon);
  return c;
}

// Drawn on the black of the selector headers, in the colour of the header text.
TPixelCanvas TFormPictures::SelectorIcon(bool disc) const {
  TPixelCanvas c(12, 12, QColor(0, 0, 0));
  if (disc) {
    c.Disc(6, 6, 5.6, 1.6, QColor(236, 236, 236), QColor(140, 140, 140), true);
  } else {
    c.Paint(TSymbols::Notes(), 1, 1, QColor(255, 255, 255));
  }
  return c;
}

// On the key colour: the tray shows it on any panel colour.
TPixelCanvas TFormPictures::TrayIcon() const {
  const TTheme& t = theme_;
  TPixelCanvas c(16, 16, kKeyColour);
  TGlyphMask rim(16, 16);
  rim.Ring(8, 8, 7.9, 1.5);
  c.Paint(rim, 0, 0, t.outline);
  c.Disc(8, 8, 6.9, 2.5, t.symbolPressed, t.faceBottom, false);
  c.PaintShadowed(TSymbols::Note(), 6, 5, t.symbol, t.outline);
  return c;
}

// On the silver of the About box.
TPixelCanvas TFormPictures::AboutPicture() const {
  const TTheme& t = theme_;
  TPixelCanvas c(30, 30, QColor(192, 192, 192));
  c.Disc(15, 15, 14.5, 3, t.outline, t.outline, true);
  c.Disc(15, 15, 13.5, 4, t.symbolPressed, t.faceBottom, true);
  c.PaintShadowed(TSymbols::Notes(), 11, 11, t.symbol, t.outline);
  return c;
}

QImage TFormPictures::DesktopIcon(int size) const {
  const TTheme& t = theme_;
  constexpr int kFactor = 4;
  // Measures of the 48-pixel icon, on a canvas kFactor times as large, scaled to size.
  const int canvas = size * kFactor;
  const double centre = canvas / 2.0, scale = size / 48.0;
  TPixelCanvas c(canvas, canvas, kKeyColour);
  c.Disc(centre, centre, 94 * scale, 0, t.outline, t.outline, false);
  c.Disc(centre, centre, 88 * scale, 0, t.symbolPressed, t.faceBottom, false);
  const TGlyphMask notes = TSymbols::Notes().Scaled(2 * kFactor * size / 48);
  const int left = canvas / 2 - notes.Width() / 2, top = canvas / 2 - notes.Height() / 2;
  const int shadow = kFactor * size / 48;
  c.Paint(notes, left + shadow, top + shadow, t.outline);
  c.Paint(notes, left, top, t.symbol);
  return c.Reduced(kFactor, kKeyColour);
}

TPixelCanvas TFormPictures::HardDisk() const {
  TPixelCanvas c(16, 16, kKeyColour);
  const QRect box(1, 4, 14, 9);
  c.Gradient(box, QColor(214, 214, 220), QColor(150, 150, 160));
  c.Frame(box, QColor(90, 90, 98), QColor(40, 40, 46));
  c.Fill(QRect(2, 10, 12, 1), QColor(110, 110, 120));
  c.Fill(QRect(11, 8, 2, 1), QColor(40, 200, 60));
  return c;
}

TPixelCanvas TFormPictures::CdDrive() const {
  TPixelCanvas c(16, 16, kKeyColour);
  TGlyphMask rim(16, 16);
  rim.Ring(8, 8, 7.9, 1.5);
  c.Paint(rim, 0, 0, QColor(80, 80, 90));
  c.Disc(8, 8, 6.9, 2.5, QColor(240, 240, 250), QColor(150, 170, 200), false);
  return c;
}
