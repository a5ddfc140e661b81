#include "MainLayout.h"

#include <array>
#include <stdexcept>
#include <string>

namespace {

using enum TControlPlace::TPicture;

// The fifteen skinned buttons come first, in the order a skin's pictures are loaded.
constexpr std::array kControls = std::to_array<TControlPlace>({
    {"Playbtn", Skin, "btn-play.bmp", 3, 148, 21, 19, "Play/Restart"},
    {"Stopbtn", Skin, "btn-stop.bmp", 25, 148, 21, 19, "Pause/Stop"},
    {"rewbtn", Skin, "btn-rew.bmp", 47, 148, 21, 19, "Previous Song"},
    {"fwdbtn", Skin, "btn-fwd.bmp", 69, 148, 21, 19, "Next Song"},
    {"ejbtn", Skin, "btn-eject.bmp", 91, 148, 21, 19, "Open Source"},
    {"repeatbtn", Skin, "btn-Repeat.bmp", 118, 151, 15, 13, "Repeat Mode"},
    {"shufflebtn", Skin, "btn-Shuffle.bmp", 135, 151, 15, 13, "Shuffle Mode"},
    {"progbtn", Skin, "btn-Program.bmp", 152, 151, 15, 13, "Program Mode"},
    {"menubtn", Skin, "btn-Menu.bmp", 3, 2, 15, 13, "Menu"},
    {"minimizebtn", Skin, "btn-Minimize.bmp", 162, 2, 15, 13, "Minimize"},
    {"closebtn", Skin, "btn-Close.bmp", 179, 2, 15, 13, "Exit"},
    {"modeplaybtn", Skin, "Mode-Play.bmp", 172, 51, 21, 19, "Play Panel"},
    {"modeimagebtn", Skin, "Mode-Image.bmp", 172, 75, 21, 19, "Image Panel"},
    {"modeequbtn", Skin, "Mode-Equ.bmp", 172, 99, 21, 19, "Equalizer Panel"},
    {"modemodebtn", Skin, "Mode-album.bmp", 171, 148, 21, 19, "Album Mode"},

    {"Sfondo", Skin, "IMG-Background.bmp", 0, 0, 196, 170, nullptr},
    {"Display", None, nullptr, 3, 19, 166, 126, nullptr},

    // The play page.
    {"DISPimage", Skin, "IMG-Display.bmp", 1, 1, 164, 125, nullptr},
    {"CDlbl", None, nullptr, 22, 3, 140, 22, nullptr},
    {"Songlbl", None, nullptr, 22, 26, 140, 22, nullptr},
    {"CurrTime", None, nullptr, 0, 46, 69, 29, nullptr},
    {"Separatore", None, nullptr, 70, 50, 6, 22, nullptr},
    {"Totlbl", None, nullptr, 75, 50, 51, 22, nullptr},
    {"Bitratelbl", None, nullptr, 126, 52, 38, 9, nullptr},
    {"Stereolbl", None, nullptr, 126, 60, 38, 9, nullptr},
    {"replbl", None, nullptr, 5, 77, 36, 9, nullptr},
    {"shufflelbl", None, nullptr, 43, 77, 38, 9, nullptr},
    {"Programlbl", None, nullptr, 83, 77, 45, 9, nullptr},
    {"Albumlbl", None, nullptr, 130, 77, 32, 9, nullptr},
    {"PosBar", None, nullptr, 16, 95, 146, 10, "Position Bar"},
    {"VolBar", None, nullptr, 16, 110, 146, 10, "Volume Bar"},

    // The image page.
    {"CDImage", Skin, "IMG-Default.bmp", 3, 3, 160, 120, nullptr},

    // The equalizer page.
    {"EQUimg", Skin, "IMG-Equ.bmp", 1, 1, 164, 124, nullptr},
    {"AbilitaEQU", None, nullptr, 11, 3, 13, 15, nullptr},
    {"EQUlbl", None, nullptr, 29, 4, 70, 14, nullptr},
    {"Zerobtn", None, nullptr, 128, 4, 27, 15, "All bars to 0"},
    {"LoadPresetbtn", None, nullptr, 128, 22, 12, 15, "Select preset"},
    {"Presetbtn", None, nullptr, 143, 22, 12, 15, "Save/Remove preset"},
    {"PresetEdit", None, nullptr, 11, 22, 113, 14, nullptr},
    {"TrackBar0", None, nullptr, 11, 39, 10, 84, nullptr},
    {"TrackBar1", None, nullptr, 30, 39, 10, 84, nullptr},
    {"TrackBar2", None, nullptr, 49, 39, 10, 84, nullptr},
    {"TrackBar3", None, nullptr, 68, 39, 10, 84, nullptr},
    {"TrackBar4", None, nullptr, 87, 39, 10, 84, nullptr},
    {"TrackBar5", None, nullptr, 106, 39, 10, 84, nullptr},
    {"TrackBar6", None, nullptr, 125, 39, 10, 84, nullptr},
    {"TrackBar7", None, nullptr, 144, 39, 10, 84, nullptr},

    // The song and disc selector pages.
    {"PanelSELsong", None, nullptr, 0, 0, 166, 15, nullptr},
    {"imgMiniSong", Program, "imgMiniSong.bmp", 24, 1, 12, 12, nullptr},
    {"SongList", None, nullptr, 0, 15, 166, 111, nullptr},
    {"PanelSELDisc", None, nullptr, 0, 0, 166, 15, nullptr},
    {"imgMiniCD", Program, "imgMiniCD.bmp", 24, 1, 12, 12, nullptr},
    {"CDList", None, nullptr, 0, 15, 166, 111, nullptr},

    // The micro window, over the whole form while it shows.
    {"MicroPanel", None, nullptr, 0, 0, 217, 47, nullptr},
    {"MicroImage", Program, "MicroImage.bmp", 0, 0, 209, 38, nullptr},
    {"MicroCD", None, nullptr, 14, 6, 115, 10, nullptr},
    {"MicroSong", None, nullptr, 14, 23, 115, 10, nullptr},
    {"lblDisplay2", None, nullptr, 162, 21, 31, 14, "Song time"},
    {"btnrew2", Program, "btnrew2.bmp", 134, 7, 9, 10, "Previous Disc"},
    {"btnfwd2", Program, "btnfwd2.bmp", 143, 7, 9, 10, "Next Disc"},
    {"btnrew1", Program, "btnrew1.bmp", 134, 24, 9, 10, "Previous Song"},
    {"btnfwd1", Program, "btnfwd1.bmp", 143, 24, 9, 10, "Next Song"},
    {"btnPlay2", Program, "btnPlay2.bmp", 157, 5, 13, 13, "Play/Restart"},
    {"btnStop2", Program, "btnStop2.bmp", 174, 5, 13, 13, "Pause/Stop"},
    {"btnClose2", Program, "btnClose2.bmp", 192, 1, 16, 19, "Exit"},
});

}  // namespace

std::span<const TControlPlace> TMainLayout::Controls() { return kControls; }

const TControlPlace& TMainLayout::Of(std::string_view name) {
  for (const TControlPlace& place : kControls)
    if (name == place.Name) return place;
  throw std::out_of_range("no control named " + std::string(name));
}
