// The keys of Sonavera.ini with their defaults and ranges, in the order they are read (a
// fresh file receives them in this order). Equalizer preset files use the "EQU" keys too.
#pragma once

#include <array>

namespace settings {

inline constexpr char kFileName[] = "Sonavera.ini";

inline constexpr char kGeneral[] = "General";
inline constexpr char kEqu[] = "EQU";

struct TIntKey {
  const char* Name;
  int Default;
};
struct TBoolKey {
  const char* Name;
  bool Default;
};
struct TTextKey {
  const char* Name;
  const char* Default;
};

// "General", in reading order.
inline constexpr TIntKey kWinX{"WinX", 10};
inline constexpr TIntKey kWinY{"WinY", 10};
inline constexpr TIntKey kOpenX{"OpenX", 20};
inline constexpr TIntKey kOpenY{"OpenY", 20};
inline constexpr TBoolKey kReverseTime{"ReverseTime", false};
inline constexpr TBoolKey kMicroMode{"MicroMode", false};
inline constexpr TBoolKey kAutoStart{"AutoStart", true};
inline constexpr TBoolKey kAutoPlay{"AutoPlay", false};
inline constexpr TIntKey kAutoPlayCD{"AutoPlayCD", 0};
inline constexpr TBoolKey kAutoScroll{"AutoScroll", false};
inline constexpr TBoolKey kLastPos{"LastPos", false};
inline constexpr TBoolKey kActiveHints{"ActiveHints", true};
inline constexpr TIntKey kAutoCloseSec{"AutoCloseSec", 5};
inline constexpr TIntKey kPriority{"Priority", 4};
inline constexpr TIntKey kVolume{"Volume", 50};
inline constexpr TTextKey kSkin{"Skin", "DEFAULT"};
// Its default is the first CD-ROM drive, else the user's music folder.
inline constexpr char kLastAlbum[] = "LastAlbum";
inline constexpr TBoolKey kModeRepeat{"ModeRepeat", false};
inline constexpr TBoolKey kModeShuffle{"ModeShuffle", false};
inline constexpr TBoolKey kModeProgram{"ModeProgram", false};
inline constexpr TBoolKey kModeAlbum{"ModeAlbum", false};
inline constexpr TIntKey kLastRow{"LastRow", 1};
// Beyond the original keys, read and written after them: the whole-number window zoom.
inline constexpr TIntKey kZoom{"Zoom", 1};
// ReplayGain, after the zoom: the mode (0 off, 1 track, 2 album, 3 auto: album gain in
// album order, track gain under Shuffle) and the pre-amps of tagged and untagged songs in dB.
inline constexpr TIntKey kReplayGain{"ReplayGain", 3};
inline constexpr TIntKey kReplayGainPreamp{"ReplayGainPreamp", 0};
inline constexpr TIntKey kReplayGainUntagged{"ReplayGainUntagged", 0};
// The remembered song by its path within the source, and the second it had reached; LastRow
// stays the song's row in disc and track order, as older versions read it.
inline constexpr TTextKey kLastSong{"LastSong", ""};
inline constexpr TIntKey kLastSecond{"LastSecond", 0};

// "EQU".
inline constexpr TBoolKey kEquON{"EquON", false};
inline constexpr TTextKey kPreset{"Preset", "Default"};
inline constexpr std::array<const char*, 8> kEquBands{"Equ1", "Equ2", "Equ3", "Equ4",
                                                      "Equ5", "Equ6", "Equ7", "Equ8"};
inline constexpr int kEquBandDefault = 0;

// Ranges: the auto-close and priority values are clamped into theirs, a volume outside its
// range is ignored.
inline constexpr int kAutoCloseMin = 2;
inline constexpr int kAutoCloseMax = 100;
inline constexpr int kPriorityMin = 0;
inline constexpr int kPriorityMax = 4;
inline constexpr int kVolumeMin = 0;
inline constexpr int kVolumeMax = 100;
// A mode outside its range is taken as the default; the pre-amps are clamped.
inline constexpr int kReplayGainModes = 4;
inline constexpr int kPreampMin = -15;
inline constexpr int kPreampMax = 15;

}  // namespace settings
