// The program's icons, drawn as SVG and compiled in, so they stay crisp at
// any screen scale.
#pragma once

#include <QIcon>

namespace tessel {

QIcon ApplicationIcon();
// An icon of resources/icons by its file name without ".svg".
QIcon CommandIcon(const char* name);

}  // namespace tessel
