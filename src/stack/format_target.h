// Which control the format toolbar and the colour picker act on, and how a
// choice changes the file-wide format settings.
#pragma once

#include <string>

#include "cards/format_settings.h"

namespace tessel {

// The control that a face, size or colour choice changes.
enum class FormatControl { None, Index, Body };

// Whether the index field or the body editor had the focus last. Neither
// until one of them has had it; never reset afterwards.
struct FormatTarget {
  bool indexFocused = false;
  bool bodyFocused = false;
  void Set(FormatControl control) {
    indexFocused = control == FormatControl::Index;
    bodyFocused = control == FormatControl::Body;
  }
  FormatControl Focused() const {
    return bodyFocused ? FormatControl::Body
                       : (indexFocused ? FormatControl::Index : FormatControl::None);
  }
};

inline constexpr int kUnfocusedTargetSize = 10;

// The face and size the format toolbar shows for the focused control; empty
// and kUnfocusedTargetSize before either control has had the focus.
std::string TargetFace(const FormatSettings& format, const FormatTarget& target);
int TargetSize(const FormatSettings& format, const FormatTarget& target);

enum class ColourRole { Text, Background };

// Each stores the choice for the focused control and returns that control;
// None (and no change) while the stack is empty or nothing had the focus.
FormatControl SetTargetFace(FormatSettings& format, const FormatTarget& target, bool stackEmpty,
                            const std::string& face);
FormatControl SetTargetSize(FormatSettings& format, const FormatTarget& target, bool stackEmpty,
                            int size);
FormatControl SetTargetColour(FormatSettings& format, const FormatTarget& target, bool stackEmpty,
                              ColourRole role, Colour colour);

}  // namespace tessel
