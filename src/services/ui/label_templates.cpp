#include "services/ui/label_templates.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QXmlStreamReader>

namespace tessel {

namespace {

inline constexpr char kPaperSizes[] = "paper-sizes.xml";
// The biggest file of the database is under 100 KB; anything far larger is
// not one of its files.
inline constexpr qint64 kMaxFileSize = 16 * 1024 * 1024;

QString Attr(const QXmlStreamReader& xml, const char* name) {
  return xml.attributes().value(QLatin1String(name)).toString();
}

double LengthAttr(const QXmlStreamReader& xml, const char* name) {
  double points = 0;
  return ParseLength(Attr(xml, name), points) ? points : 0;
}

// "2 * 1.25in" written as gLabels would: the number doubled, the unit kept.
QString Doubled(const QString& length) {
  qsizetype i = 0;
  while (i < length.size() && (length[i].isDigit() || length[i] == QLatin1Char('.'))) ++i;
  bool ok = false;
  const double value = length.left(i).toDouble(&ok);
  return ok ? QString::number(2 * value, 'g', 10) + length.mid(i) : length;
}

bool ReadFile(const QString& path, QByteArray& bytes, QString& error) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) {
    error = QStringLiteral("%1: %2").arg(path, file.errorString());
    return false;
  }
  if (file.size() > kMaxFileSize) {
    error = QStringLiteral("%1: too large for a label template file").arg(path);
    return false;
  }
  bytes = file.readAll();
  return true;
}

}  // namespace

bool ParseLength(const QString& text, double& points) {
  static const QList<QPair<QString, double>> kUnits = {
      {QStringLiteral("pt"), 1.0}, {QStringLiteral("in"), 72.0}, {QStringLiteral("mm"), 72.0 / 25.4},
      {QStringLiteral("cm"), 72.0 / 2.54}, {QStringLiteral("pc"), 12.0}};
  const QString t = text.trimmed();
  double factor = 1.0;
  QString number = t;
  for (const auto& [unit, f] : kUnits) {
    if (t.endsWith(unit)) {
      number = t.chopped(unit.size()).trimmed();
      factor = f;
      break;
    }
  }
  bool ok = false;
  const double value = number.toDouble(&ok);
  if (!ok || !(value >= 0) || value > 1e6) return false;
  points = value * factor;
  return true;
}

QString LabelTemplateDatabase::DefaultFolder() {
  return QStandardPaths::locate(QStandardPaths::GenericDataLocation,
                                QStringLiteral("libglabels-3.0/templates"),
                                QStandardPaths::LocateDirectory);
}

bool LabelTemplateDatabase::Available() const {
  if (folder_.isEmpty()) return false;
  const QDir dir(folder_);
  return QFile::exists(dir.filePath(QLatin1String(kPaperSizes))) &&
         !dir.entryList({QStringLiteral("*-templates.xml")}, QDir::Files | QDir::Readable).isEmpty();
}

bool LabelTemplateDatabase::Load() {
  if (loaded_) return error_.isEmpty();
  loaded_ = true;
  if (!Available()) {
    error_ = QLatin1String(kLabelTemplatesMissing);
    return false;
  }
  QHash<QString, QPair<double, double>> sizes;
  if (!ReadPaperSizes(sizes)) return false;
  const QDir dir(folder_);
  for (const QString& name :
       dir.entryList({QStringLiteral("*-templates.xml")}, QDir::Files, QDir::Name)) {
    if (!ReadTemplates(dir.filePath(name), sizes)) return false;
  }
  // Equivalents share the geometry of the part they name, in the same brand.
  for (LabelTemplate& t : templates_) {
    if (t.equiv.isEmpty()) continue;
    const auto base = byName_.constFind(t.brand + QLatin1Char(' ') + t.equiv);
    if (base == byName_.constEnd() || !templates_[*base].equiv.isEmpty()) continue;
    LabelTemplate filled = templates_[*base];
    filled.part = t.part;
    filled.equiv = t.equiv;
    t = filled;
  }
  return true;
}

bool LabelTemplateDatabase::ReadPaperSizes(QHash<QString, QPair<double, double>>& sizes) {
  QByteArray bytes;
  if (!ReadFile(QDir(folder_).filePath(QLatin1String(kPaperSizes)), bytes, error_)) return false;
  QXmlStreamReader xml(bytes);
  while (!xml.atEnd()) {
    xml.readNext();
    if (xml.isStartElement() && xml.name() == QLatin1String("Paper-size")) {
      sizes.insert(Attr(xml, "id"), {LengthAttr(xml, "width"), LengthAttr(xml, "height")});
    }
  }
  if (xml.hasError()) {
    error_ = QStringLiteral("%1: %2").arg(QLatin1String(kPaperSizes), xml.errorString());
    return false;
  }
  return true;
}

bool LabelTemplateDatabase::ReadTemplates(const QString& path,
                                          const QHash<QString, QPair<double, double>>& sizes) {
  QByteArray bytes;
  if (!ReadFile(path, bytes, error_)) return false;
  QXmlStreamReader xml(bytes);
  LabelTemplate* current = nullptr;
  while (!xml.atEnd()) {
    xml.readNext();
    if (xml.isEndElement() && xml.name() == QLatin1String("Template")) current = nullptr;
    if (!xml.isStartElement()) continue;
    const auto name = xml.name();
    if (name == QLatin1String("Template")) {
      LabelTemplate t;
      t.brand = Attr(xml, "brand");
      t.part = Attr(xml, "part");
      t.equiv = Attr(xml, "equiv");
      t.description = Attr(xml, "_description");
      if (t.description.isEmpty()) t.description = Attr(xml, "description");
      t.paperId = Attr(xml, "size");
      if (t.paperId == QLatin1String("Other")) {
        t.pageWidthText = Attr(xml, "width");
        t.pageHeightText = Attr(xml, "height");
        t.pageWidth = LengthAttr(xml, "width");
        t.pageHeight = LengthAttr(xml, "height");
      } else {
        const auto size = sizes.value(t.paperId);
        t.pageWidth = size.first;
        t.pageHeight = size.second;
      }
      if (t.brand.isEmpty() || t.part.isEmpty()) continue;
      const QString key = t.Name();
      if (byName_.contains(key)) continue;  // the first of a name holds
      byName_.insert(key, templates_.size());
      templates_.append(t);
      current = &templates_.last();
    } else if (current && name.startsWith(QLatin1String("Label-")) && current->shape.isEmpty()) {
      current->shape = name.mid(6).toString();
      if (current->shape == QLatin1String("round") || current->shape == QLatin1String("cd")) {
        const QString radius = Attr(xml, "radius");
        current->labelWidthText = current->labelHeightText = Doubled(radius);
        current->labelWidth = current->labelHeight = 2 * LengthAttr(xml, "radius");
      } else {
        current->labelWidthText = Attr(xml, "width");
        current->labelHeightText = Attr(xml, "height");
        current->labelWidth = LengthAttr(xml, "width");
        current->labelHeight = LengthAttr(xml, "height");
      }
    } else if (current && name == QLatin1String("Markup-margin") && current->margin == 0) {
      current->margin = LengthAttr(xml, "size");
    } else if (current && name == QLatin1String("Layout")) {
      if (current->layoutCount++ == 0) {
        current->layout.nx = Attr(xml, "nx").toInt();
        current->layout.ny = Attr(xml, "ny").toInt();
        current->layout.x0 = LengthAttr(xml, "x0");
        current->layout.y0 = LengthAttr(xml, "y0");
        current->layout.dx = LengthAttr(xml, "dx");
        current->layout.dy = LengthAttr(xml, "dy");
      }
    }
  }
  if (xml.hasError()) {
    error_ = QStringLiteral("%1: %2").arg(path, xml.errorString());
    return false;
  }
  return true;
}

const LabelTemplate* LabelTemplateDatabase::Find(const QString& name) const {
  const auto it = byName_.constFind(name);
  return it == byName_.constEnd() ? nullptr : &templates_[*it];
}

}  // namespace tessel
