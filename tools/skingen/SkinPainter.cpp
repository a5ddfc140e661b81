#include "SkinPainter.h"

#include "ButtonPainter.h"
#include "PixelFont.h"
#include "Symbols.h"

namespace {

constexpr int kWindowWidth = 196, kWindowHeight = 170;

}  // namespace

std::vector<std::pair<std::string, TPixelCanvas>> TSkinPainter::Pictures() const {
  const TButtonPainter buttons(theme_);
  std::vector<std::pair<std::string, TPixelCanvas>> out;
  auto big = [&](const char* file, const TGlyphMask& symbol) {
    out.emplace_back(file, buttons.Strip(21, 19, symbol));
  };
  auto small = [&](const char* file, const TGlyphMask& symbol) {
    out.emplace_back(file, buttons.Strip(15, 13, symbol));
  };
  big("btn-play.bmp", TSymbols::Play());
  big("btn-stop.bmp", TSymbols::PauseStop());
  big("btn-rew.bmp", TSymbols::Previous());
  big("btn-fwd.bmp", TSymbols::Next());
  big("btn-eject.bmp", TSymbols::Eject());
  small("btn-Repeat.bmp", TSymbols::Repeat());
  small("btn-Shuffle.bmp", TSymbols::Shuffle());
  small("btn-Program.bmp", TSymbols::ProgramList());
  small("btn-Menu.bmp", TSymbols::Menu());
  small("btn-Minimize.bmp", TSymbols::Minimize());
  small("btn-Close.bmp", TSymbols::Close());
  big("Mode-Play.bmp", TSymbols::Notes());
  big("Mode-Image.bmp", TSymbols::Picture());
  big("Mode-Equ.bmp", TSymbols::Sliders());
  big("Mode-album.bmp", TSymbols::Disc());
  out.emplace_back("IMG-Default.bmp", DefaultPicture());
  out.emplace_back("IMG-Equ.bmp", Equalizer());
  out.emplace_back("IMG-Display.bmp", Display());
  out.emplace_back("IMG-Background.bmp", Background());
  return out;
}

std::string TSkinPainter::ColoursIni() const {
  std::string text = "[Colors]\n";
  for (const auto& [key, value] : theme_.colours) text += key + "=" + value + "\n";
  return text;
}

void TSkinPainter::Recess(TPixelCanvas& canvas, const QRect& r) const {
  canvas.Fill(r.adjusted(1, 1, -1, -1), theme_.wellFill);
  canvas.Frame(r, theme_.rimDark, theme_.rimLight);
}

TPixelCanvas TSkinPainter::Background() const {
  const TTheme& t = theme_;
  TPixelCanvas c(kWindowWidth, kWindowHeight, t.bodyBottom);
  c.Gradient(QRect(0, 0, kWindowWidth, kWindowHeight), t.bodyTop, t.bodyBottom, t.streaks);
  c.Frame(QRect(0, 0, kWindowWidth, kWindowHeight), t.outline, t.outline);
  c.Frame(QRect(1, 1, kWindowWidth - 2, kWindowHeight - 2), t.rimLight, t.rimDark);

  // Title strip between the menu button and the minimise button, with grip ridges.
  const QRect title(20, 2, 140, 13);
  Recess(c, title);
  const TGlyphMask name = TPixelFont::Text("SONAVERA");
  const int nameLeft = title.left() + (title.width() - name.Width()) / 2;
  c.PaintShadowed(name, nameLeft, title.top() + 3, t.title, t.outline);
  const QColor ridge = TPixelCanvas::Mix(t.wellFill, t.rimLight, 0.35);
  for (int y = title.top() + 3; y <= title.bottom() - 3; y += 2) {
    c.Fill(QRect(title.left() + 4, y, nameLeft - title.left() - 9, 1), ridge);
    const int right = nameLeft + name.Width() + 5;
    c.Fill(QRect(right, y, title.right() - 3 - right, 1), ridge);
  }

  // The display notebook sits in a sunken well; it covers the inside itself.
  Recess(c, QRect(2, 18, 168, 128));

  // Right column: an emblem, the well of the three page buttons, a grille.
  c.Disc(182.5, 34, 10, 2.5, t.discLight, t.discDark, true);
  c.Disc(182.5, 34, 4.5, 2.5, t.rimDark, t.outline, true);
  Recess(c, QRect(171, 50, 23, 69));
  for (int y = 123; y <= 141; y += 3)
    for (int x = 175; x <= 190; x += 3) {
      c.Set(x, y, t.outline);
      c.Set(x + 1, y + 1, t.rimLight);
    }

  // Trays under the transport buttons, the mode buttons and the album button.
  Recess(c, QRect(2, 147, 111, 21));
  Recess(c, QRect(116, 149, 53, 17));
  Recess(c, QRect(170, 147, 23, 21));
  return c;
}

TPixelCanvas TSkinPainter::Lcd(int width, int height) const {
  TPixelCanvas c(width, height, theme_.lcdBottom);
  c.Gradient(QRect(0, 0, width, height), theme_.lcdTop, theme_.lcdBottom);
  c.Scanlines(QRect(0, 0, width, height), theme_.lcdScanline);
  return c;
}

// Positions below are in page coordinates less one: the picture lies at 1,1 on its page.
TPixelCanvas TSkinPainter::Display() const {
  const TTheme& t = theme_;
  TPixelCanvas c = Lcd(164, 125);
  // Markers in front of the disc title, the song title and the two bars.
  c.Paint(TSymbols::Disc(), 6, 8, t.lcdIcon);
  c.Paint(TSymbols::Note(), 7, 32, t.lcdIcon);
  c.Paint(TSymbols::Progress(), 3, 96, t.lcdIcon);
  c.Paint(TSymbols::Speaker(), 3, 110, t.lcdIcon);
  // Dotted rule between the mode labels and the bars.
  for (int x = 2; x < 162; x += 2) c.Set(x, 88, t.lcdGrid);
  return c;
}

TPixelCanvas TSkinPainter::Equalizer() const {
  const TTheme& t = theme_;
  TPixelCanvas c = Lcd(164, 124);
  for (int x = 2; x < 162; x += 2) c.Set(x, 36, t.lcdGrid);

  // A groove around each band slider, scale ticks in the gaps between them.
  const QColor grooveDark = TPixelCanvas::Mix(t.lcdBottom, QColor(0, 0, 0), 0.6);
  for (int band = 0; band < 8; ++band) {
    const int left = 9 + 19 * band;
    c.Frame(QRect(left, 37, 12, 86), grooveDark, t.lcdGrid);
    if (band == 7) break;
    for (int level = 38; level <= 118; level += 20) {
      const bool zero = level == 78;
      c.Fill(QRect(left + (zero ? 13 : 14), level, zero ? 5 : 3, 1), zero ? t.lcdIcon : t.lcdGrid);
    }
  }
  c.Paint(TPixelFont::Text("+"), 2, 39, t.lcdIcon);
  c.Paint(TPixelFont::Text("0"), 2, 75, t.lcdIcon);
  c.Paint(TPixelFont::Text("-"), 2, 112, t.lcdIcon);
  return c;
}

TPixelCanvas TSkinPainter::DefaultPicture() const {
  const TTheme& t = theme_;
  TPixelCanvas c(160, 120, t.artBottom);
  c.Gradient(QRect(0, 0, 160, 120), t.artTop, t.artBottom);
  // A disc with its clear hub, and the player's name below it.
  c.Disc(80, 52, 42, 14, t.discLight, t.discDark, true);
  c.Disc(80, 52, 14, 7, TPixelCanvas::Mix(t.discLight, t.artBottom, 0.6),
         TPixelCanvas::Mix(t.discDark, t.artBottom, 0.6), true);
  const TGlyphMask name = TPixelFont::Text("SONAVERA", 2);
  c.PaintShadowed(name, (160 - name.Width()) / 2, 100, t.title, t.outline);
  return c;
}
