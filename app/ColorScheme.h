// TColorScheme: the nine colours of a skin's Colors.ini, the working copy that the colour
// file is read into, that the Preferences dialog edits and that the main window shows.
#pragma once

#include <array>

#include "ColorValue.h"

struct TColorScheme {
  TColor HighText = 0;
  TColor MediumText = 0;
  TColor LowText = 0;
  TColor PosBarStart = 0;
  TColor PosBarEnd = 0;
  TColor PosBarBack = 0;
  TColor VolBarStart = 0;
  TColor VolBarEnd = 0;
  TColor VolBarBack = 0;

  // One key of section "Colors". The reader asks for the end colours under other spellings
  // than the writer uses; keys match without regard to case, so both reach one entry.
  struct TKey {
    const char* ReadName;
    const char* WriteName;
    const char* DefaultText;
    TColor TColorScheme::*Field;
  };
  static constexpr const char* kSection = "Colors";
  static const std::array<TKey, 9>& Keys();  // in file order

  static TColorScheme Defaults();
  bool operator==(const TColorScheme&) const = default;
};
