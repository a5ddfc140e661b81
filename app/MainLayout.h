// The main window's controls and their fixed places: the one table the window is built from
// and the renderer draws. Skins only replace pictures and colours, never a place.
#pragma once

#include <span>
#include <string_view>

struct TControlPlace {
  enum TPicture { None, Skin, Program };  // where Picture is looked for
  const char* Name;                       // the control's name, also its object name in the window
  TPicture From;
  const char* Picture;           // file in the skin folder or the program's pictures/ folder
  int Left, Top, Width, Height;  // in its parent, at zoom 1
  const char* Hint;              // tool tip; null for none
};

class TMainLayout {
 public:
  static std::span<const TControlPlace> Controls();
  // The place of the control named name; throws std::out_of_range for an unknown name.
  static const TControlPlace& Of(std::string_view name);
};
