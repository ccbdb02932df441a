// The colour picker's ten cells and its "More" button, in the picker's
// dialog units (the popup is 32 by 71 of them).
#pragma once

#include <array>

#include "cards/format_settings.h"

namespace tessel {

struct PaletteCell {
  int id;
  int x, y;  // top-left, dialog units; every cell is 11 by 10
  Colour colour;
};

inline constexpr int kPaletteCellWidth = 11;
inline constexpr int kPaletteCellHeight = 10;
inline constexpr int kPickerWidth = 32;
inline constexpr int kPickerHeight = 71;
struct PaletteButton {
  int id, x, y, width, height;
};
inline constexpr PaletteButton kPaletteMore = {1005, 4, 59, 24, 8};

inline constexpr std::array<PaletteCell, 10> kPalette = {{
    {1017, 4, 2, Rgb(0, 0, 0)},
    {1018, 17, 2, Rgb(255, 255, 255)},
    {1019, 4, 13, Rgb(0, 0, 255)},
    {1020, 17, 13, Rgb(0, 255, 255)},
    {1021, 4, 24, Rgb(120, 120, 120)},
    {1022, 17, 24, Rgb(200, 200, 200)},
    {1023, 4, 35, Rgb(255, 0, 0)},
    {1024, 17, 35, Rgb(255, 0, 255)},
    {1025, 4, 46, Rgb(0, 255, 0)},
    {1026, 17, 46, Rgb(255, 255, 0)},
}};

}  // namespace tessel
