#include "services/ui/icons.h"

#include <QString>

namespace tessel {

QIcon ApplicationIcon() { return CommandIcon("tessel"); }

QIcon CommandIcon(const char* name) {
  return QIcon(QStringLiteral(":/icons/%1.svg").arg(QLatin1String(name)));
}

}  // namespace tessel
