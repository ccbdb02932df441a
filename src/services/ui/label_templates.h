// Label products and their geometry from gLabels' template database
// (Debian package glabels-data): one XML file per maker and the paper sizes.
#pragma once

#include <QHash>
#include <QList>
#include <QString>

#include "services/label_run.h"

namespace tessel {

inline constexpr char kLabelTemplatesMissing[] =
    "Label templates not installed (package glabels-data)";

struct LabelTemplate {
  QString brand;
  QString part;
  QString equiv;  // another part of the same brand whose geometry this shares
  QString description;
  QString paperId;  // "US-Letter", "A4", ... or "Other"
  // As the file writes them, units included ("2.625in", "25mm").
  QString pageWidthText, pageHeightText;
  QString labelWidthText, labelHeightText;
  QString shape;  // "rectangle", "round", "ellipse" or "cd"
  // In points.
  double pageWidth = 0, pageHeight = 0;
  double labelWidth = 0, labelHeight = 0;
  double margin = 0;  // the template's markup margin inside the label
  int layoutCount = 0;
  SheetLayout layout;  // the first layout

  QString Name() const { return brand + QLatin1Char(' ') + part; }
  // One layout and a shape text can be set in; the catalogue offers these.
  bool Usable() const {
    return layoutCount == 1 && shape != QLatin1String("cd") && labelWidth > 0 &&
           labelHeight > 0 && pageWidth > 0 && pageHeight > 0;
  }
};

// A length as gLabels writes it ("2.625in", "4.5pt", "25mm", "1cm", "2pc",
// a bare number in points) in points; false when it is none of these.
bool ParseLength(const QString& text, double& points);

class LabelTemplateDatabase {
 public:
  // The database folder in the XDG data folders, or empty when none has it.
  static QString DefaultFolder();

  explicit LabelTemplateDatabase(QString folder = DefaultFolder()) : folder_(std::move(folder)) {}

  const QString& Folder() const { return folder_; }
  // Whether the folder holds the paper sizes and template files.
  bool Available() const;
  // Reads every template file once; false with Error() when the database
  // cannot be read.
  bool Load();
  const QString& Error() const { return error_; }

  // Templates in the order of their files (sorted by name) and of the
  // entries in each, products named as equivalents filled in from theirs.
  const QList<LabelTemplate>& Templates() const { return templates_; }
  // The template named "brand part", or nullptr.
  const LabelTemplate* Find(const QString& name) const;

 private:
  bool ReadPaperSizes(QHash<QString, QPair<double, double>>& sizes);
  bool ReadTemplates(const QString& path, const QHash<QString, QPair<double, double>>& sizes);

  QString folder_;
  QString error_;
  bool loaded_ = false;
  QList<LabelTemplate> templates_;
  QHash<QString, qsizetype> byName_;
};

}  // namespace tessel
