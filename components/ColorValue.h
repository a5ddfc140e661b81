// Colour values as the program stores them: 0x00BBGGRR (lowest byte red); a negative value
// names a system colour by its index in the low byte. Conversion to QColor happens only
// where something is drawn.
#pragma once

#include <QColor>
#include <cstdint>

using TColor = std::int32_t;

// System colours (the high bit set, the index in the low byte).
inline constexpr TColor clSystemColor = static_cast<TColor>(0x80000000u);
inline constexpr TColor clWindow = clSystemColor | 5;
inline constexpr TColor clWindowText = clSystemColor | 8;
inline constexpr TColor clHighlight = clSystemColor | 13;
inline constexpr TColor clHighlightText = clSystemColor | 14;
inline constexpr TColor clBtnFace = clSystemColor | 15;
inline constexpr TColor clBtnShadow = clSystemColor | 16;
inline constexpr TColor clGrayText = clSystemColor | 17;
inline constexpr TColor clBtnText = clSystemColor | 18;
inline constexpr TColor clBtnHighlight = clSystemColor | 20;

// Plain colours.
inline constexpr TColor clBlack = 0x000000;
inline constexpr TColor clWhite = 0xFFFFFF;
inline constexpr TColor clGray = 0x808080;
inline constexpr TColor clSilver = 0xC0C0C0;
inline constexpr TColor clRed = 0x0000FF;
inline constexpr TColor clBlue = 0xFF0000;
inline constexpr TColor clNavy = 0x800000;
inline constexpr TColor clTeal = 0x808000;

// Builds a plain colour value from its channels.
constexpr TColor RGBColor(int r, int g, int b) {
  return static_cast<TColor>((r & 0xFF) | ((g & 0xFF) << 8) | ((b & 0xFF) << 16));
}

// Any colour value as the colour it shows; system colours come from the application palette.
QColor ColorToQColor(TColor value);

// An opaque QColor as a plain colour value.
TColor QColorToColor(const QColor& color);
