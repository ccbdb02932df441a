// The file-wide look of every card, stored in the card file.
#pragma once

#include <cstdint>
#include <string>

namespace tessel {

// Colours are 0x00BBGGRR: red in the lowest byte.
using Colour = uint32_t;

constexpr Colour Rgb(unsigned r, unsigned g, unsigned b) {
  return (r & 0xFF) | ((g & 0xFF) << 8) | ((b & 0xFF) << 16);
}

// Button-face and window colours where no palette can be asked (the
// command-line tool); the program passes its palette's colours instead.
inline constexpr Colour kDefaultButtonFace = 0x00F0F0F0;
inline constexpr Colour kDefaultWindow = 0x00FFFFFF;

struct FormatSettings {
  std::string indexFace = "Arial Black";
  int32_t indexSize = 10;
  std::string bodyFace = "Times New Roman";
  int32_t bodySize = 10;
  Colour indexBackground = kDefaultButtonFace;
  Colour bodyBackground = kDefaultWindow;
  Colour indexText = 0;
  Colour bodyText = 0;

  // The built-in look in the desktop's colours: the index on the button
  // colours, the body on the window's. The text colours are black where no
  // palette is asked; on a dark desktop theme the palette's own keep the
  // text readable, and a save keeps them as shown.
  static FormatSettings Defaults(Colour buttonFace, Colour window, Colour buttonText = 0,
                                 Colour windowText = 0) {
    FormatSettings f;
    f.indexBackground = buttonFace;
    f.bodyBackground = window;
    f.indexText = buttonText;
    f.bodyText = windowText;
    return f;
  }

  bool operator==(const FormatSettings&) const = default;
};

}  // namespace tessel
