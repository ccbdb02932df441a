// A small label catalogue: three products in the first laser family, one in
// the second, one in the last dot-matrix family, the rest empty.
#pragma once

#include "services/label_catalogue.h"

namespace tessel {

inline LabelCatalogue SmallLabelCatalogue() {
  LabelCatalogue c;
  c.SetFamily(0, {{"Avery 5160", "5160", "Address Labels", "1in", "2.625in", "US-Letter"},
                  {"Avery 5161", "5161", "Address Labels", "1in", "4in", "US-Letter"},
                  {"Avery 5162", "5162", "Address Labels", "1.33in", "4in", "US-Letter"}});
  c.SetFamily(1, {{"Avery L7160", "L7160", "Address Labels", "38.1mm", "63.5mm", "A4"}});
  c.SetFamily(kFamiliesPerType + 3,
              {{"Dymo 99010", "99010", "Address Labels", "28mm", "89mm", "Other (28mm x 89mm)"}});
  return c;
}

}  // namespace tessel
