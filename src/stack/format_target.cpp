#include "stack/format_target.h"

namespace tessel {

std::string TargetFace(const FormatSettings& format, const FormatTarget& target) {
  switch (target.Focused()) {
    case FormatControl::Body: return format.bodyFace;
    case FormatControl::Index: return format.indexFace;
    case FormatControl::None: break;
  }
  return {};
}

int TargetSize(const FormatSettings& format, const FormatTarget& target) {
  switch (target.Focused()) {
    case FormatControl::Body: return format.bodySize;
    case FormatControl::Index: return format.indexSize;
    case FormatControl::None: break;
  }
  return kUnfocusedTargetSize;
}

FormatControl SetTargetFace(FormatSettings& format, const FormatTarget& target, bool stackEmpty,
                            const std::string& face) {
  if (stackEmpty) return FormatControl::None;
  const FormatControl control = target.Focused();
  if (control == FormatControl::Body) format.bodyFace = face;
  if (control == FormatControl::Index) format.indexFace = face;
  return control;
}

FormatControl SetTargetSize(FormatSettings& format, const FormatTarget& target, bool stackEmpty,
                            int size) {
  if (stackEmpty) return FormatControl::None;
  const FormatControl control = target.Focused();
  if (control == FormatControl::Body) format.bodySize = size;
  if (control == FormatControl::Index) format.indexSize = size;
  return control;
}

FormatControl SetTargetColour(FormatSettings& format, const FormatTarget& target, bool stackEmpty,
                              ColourRole role, Colour colour) {
  if (stackEmpty) return FormatControl::None;
  const FormatControl control = target.Focused();
  const bool text = role == ColourRole::Text;
  if (control == FormatControl::Body) (text ? format.bodyText : format.bodyBackground) = colour;
  if (control == FormatControl::Index) (text ? format.indexText : format.indexBackground) = colour;
  return control;
}

}  // namespace tessel
