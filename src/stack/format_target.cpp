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

namespace {

// Stores `value` in the focused control's setting.
template <class T>
FormatControl SetForTarget(const FormatTarget& target, bool stackEmpty, T& index, T& body,
                           const T& value) {
  if (stackEmpty) return FormatControl::None;
  const FormatControl control = target.Focused();
  if (control == FormatControl::Body) body = value;
  if (control == FormatControl::Index) index = value;
  return control;
}

}  // namespace

FormatControl SetTargetFace(FormatSettings& format, const FormatTarget& target, bool stackEmpty,
                            const std::string& face) {
  return SetForTarget(target, stackEmpty, format.indexFace, format.bodyFace, face);
}

FormatControl SetTargetSize(FormatSettings& format, const FormatTarget& target, bool stackEmpty,
                            int size) {
  return SetForTarget(target, stackEmpty, format.indexSize, format.bodySize, size);
}

FormatControl SetTargetColour(FormatSettings& format, const FormatTarget& target, bool stackEmpty,
                              ColourRole role, Colour colour) {
  return role == ColourRole::Text
             ? SetForTarget(target, stackEmpty, format.indexText, format.bodyText, colour)
             : SetForTarget(target, stackEmpty, format.indexBackground, format.bodyBackground,
                            colour);
}

}  // namespace tessel
