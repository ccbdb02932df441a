// The two small dialogs of comma-separated values: what an imported file's
// columns become (with its first rows shown as they are read), and the
// separator and byte-order mark of an export.
#pragma once

#include <string>

#include <QDialog>

#include "cards/csv_file.h"
#include "output/export.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QListWidget;
class QTableWidget;

namespace tessel {

class CsvImportDialog final : public QDialog {
  Q_OBJECT
 public:
  // `bytes`: the whole file; `guess` sets the first choices.
  CsvImportDialog(std::string_view bytes, const CsvGuess& guess, const QString& fileName,
                  QWidget* parent = nullptr);

  char Separator() const;
  CsvEncoding Encoding() const;
  CsvMapping Mapping() const;

  // The controls, for tests and keyboard users alike.
  QComboBox* SeparatorBox() const { return separator_; }
  QComboBox* EncodingBox() const { return encoding_; }
  QCheckBox* HeaderBox() const { return header_; }
  QComboBox* IndexBox() const { return index_; }
  QListWidget* BodyList() const { return body_; }
  QCheckBox* NamedLinesBox() const { return namedLines_; }
  QComboBox* TagBox() const { return tag_; }
  QTableWidget* Preview() const { return preview_; }

 private:
  // Reads the first rows again with the separator chosen.
  void Reparse();
  // Shows the rows and names the columns as the choices say.
  void Refill();
  QString Text(std::string_view field) const;

  std::string_view bytes_;
  CsvTable table_;
  QComboBox* separator_;
  QComboBox* encoding_;
  QCheckBox* header_;
  QComboBox* index_;
  QListWidget* body_;
  QCheckBox* namedLines_;
  QComboBox* tag_;
  QTableWidget* preview_;
  QLabel* problem_;
};

class CsvExportDialog final : public QDialog {
  Q_OBJECT
 public:
  explicit CsvExportDialog(const CsvExportOptions& options, QWidget* parent = nullptr);
  CsvExportOptions Options() const;
  QComboBox* SeparatorBox() const { return separator_; }
  QCheckBox* BomBox() const { return bom_; }

 private:
  QComboBox* separator_;
  QCheckBox* bom_;
};

}  // namespace tessel
