#include "output/ui/csv_dialogs.h"

#include <algorithm>

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QTableWidget>
#include <QVBoxLayout>

#include "services/ui/text.h"

namespace tessel {

namespace {

constexpr std::size_t kPreviewRows = 10;

QComboBox* SeparatorChoice(QWidget* parent, char current) {
  auto* box = new QComboBox(parent);
  box->addItem(QStringLiteral("Comma ( , )"), int(','));
  box->addItem(QStringLiteral("Semicolon ( ; )"), int(';'));
  box->addItem(QStringLiteral("Tab"), int('\t'));
  box->setCurrentIndex(std::max(0, box->findData(int(current))));
  return box;
}

QDialogButtonBox* OkCancel(QDialog* dialog) {
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, dialog);
  QObject::connect(buttons, &QDialogButtonBox::accepted, dialog, &QDialog::accept);
  QObject::connect(buttons, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
  return buttons;
}

}  // namespace

// ---------------------------------------------------------- CsvImportDialog

CsvImportDialog::CsvImportDialog(std::string_view bytes, const CsvGuess& guess,
                                 const QString& fileName, QWidget* parent)
    : QDialog(parent), bytes_(bytes) {
  setWindowTitle(QStringLiteral("Import Comma Delimited Text"));
  setModal(true);
  auto* layout = new QVBoxLayout(this);
  auto* intro = new QLabel(
      QStringLiteral("Choose what the columns of \"%1\" become on the cards.").arg(fileName), this);
  intro->setTextFormat(Qt::PlainText);
  layout->addWidget(intro);

  auto* form = new QFormLayout;
  separator_ = SeparatorChoice(this, guess.separator);
  form->addRow(QStringLiteral("&Separator:"), separator_);
  encoding_ = new QComboBox(this);
  encoding_->addItem(QStringLiteral("UTF-8"), int(CsvEncoding::Utf8));
  encoding_->addItem(QStringLiteral("Windows-1252 (Western European)"), int(CsvEncoding::Cp1252));
  encoding_->setCurrentIndex(guess.encoding == CsvEncoding::Utf8 ? 0 : 1);
  form->addRow(QStringLiteral("&Encoding:"), encoding_);
  header_ = new QCheckBox(QStringLiteral("&First row holds the column names"), this);
  header_->setChecked(true);
  form->addRow(QString(), header_);
  index_ = new QComboBox(this);
  form->addRow(QStringLiteral("&Index line:"), index_);
  body_ = new QListWidget(this);
  body_->setMaximumHeight(110);
  form->addRow(QStringLiteral("&Body (ticked columns, one line each):"), body_);
  namedLines_ = new QCheckBox(QStringLiteral("Write body lines as \"&Name: value\""), this);
  form->addRow(QString(), namedLines_);
  tag_ = new QComboBox(this);
  form->addRow(QStringLiteral("&Tag:"), tag_);
  layout->addLayout(form);

  layout->addWidget(new QLabel(QStringLiteral("The first rows:"), this));
  preview_ = new QTableWidget(this);
  preview_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  preview_->setMinimumSize(520, 180);
  layout->addWidget(preview_);
  problem_ = new QLabel(this);
  problem_->setTextFormat(Qt::PlainText);
  problem_->setWordWrap(true);
  layout->addWidget(problem_);
  layout->addWidget(OkCancel(this));

  connect(separator_, &QComboBox::currentIndexChanged, this, [this] {
    Reparse();
    Refill();
  });
  connect(encoding_, &QComboBox::currentIndexChanged, this, [this] { Refill(); });
  connect(header_, &QCheckBox::toggled, this, [this] { Refill(); });
  Reparse();
  Refill();
}

void CsvImportDialog::Reparse() {
  const CsvParseResult result = ParseCsv(bytes_, Separator(), table_, kPreviewRows + 1);
  problem_->setText(result.ok ? QString() : ToQString(result.error));
  // The choices start over for the new columns.
  const CsvMapping mapping = DefaultMapping(table_);
  index_->clear();
  tag_->clear();
  body_->clear();
  for (std::size_t c = 0; c < table_.Columns(); ++c) {
    index_->addItem(QString(), int(c));
    auto* item = new QListWidgetItem(body_);
    const bool inBody =
        std::find(mapping.bodyColumns.begin(), mapping.bodyColumns.end(), c) != mapping.bodyColumns.end();
    item->setCheckState(inBody ? Qt::Checked : Qt::Unchecked);
  }
  tag_->addItem(QStringLiteral("(none: every card tagged)"), -1);
  for (std::size_t c = 0; c < table_.Columns(); ++c) tag_->addItem(QString(), int(c));
  index_->setCurrentIndex(int(mapping.indexColumn));
  tag_->setCurrentIndex(mapping.tagColumn ? int(*mapping.tagColumn) + 1 : 0);
}

QString CsvImportDialog::Text(std::string_view field) const {
  return Encoding() == CsvEncoding::Utf8
             ? QString::fromUtf8(field.data(), static_cast<qsizetype>(field.size()))
             : FromCp1252(field);
}

void CsvImportDialog::Refill() {
  const bool header = header_->isChecked();
  const auto columns = static_cast<int>(table_.Columns());
  QStringList names;
  for (int c = 0; c < columns; ++c) {
    names << Text(ColumnName(table_, header, static_cast<std::size_t>(c)));
    index_->setItemText(c, names.back());
    tag_->setItemText(c + 1, names.back());
    body_->item(c)->setText(names.back());
  }
  const std::size_t first = header ? 1 : 0;
  const auto rows = table_.Rows() > first ? table_.Rows() - first : 0;
  preview_->clear();
  preview_->setColumnCount(columns);
  preview_->setRowCount(static_cast<int>(std::min(rows, kPreviewRows)));
  preview_->setHorizontalHeaderLabels(names);
  for (int r = 0; r < preview_->rowCount(); ++r) {
    for (int c = 0; c < columns; ++c) {
      const auto field = table_.Field(first + static_cast<std::size_t>(r), static_cast<std::size_t>(c));
      preview_->setItem(r, c, new QTableWidgetItem(Text(field)));
    }
  }
  preview_->resizeColumnsToContents();
}

char CsvImportDialog::Separator() const { return static_cast<char>(separator_->currentData().toInt()); }

CsvEncoding CsvImportDialog::Encoding() const {
  return static_cast<CsvEncoding>(encoding_->currentData().toInt());
}

CsvMapping CsvImportDialog::Mapping() const {
  CsvMapping mapping;
  mapping.indexColumn = static_cast<std::size_t>(std::max(0, index_->currentIndex()));
  for (int c = 0; c < body_->count(); ++c) {
    if (body_->item(c)->checkState() == Qt::Checked) mapping.bodyColumns.push_back(static_cast<std::size_t>(c));
  }
  if (const int tag = tag_->currentData().toInt(); tag >= 0) mapping.tagColumn = static_cast<std::size_t>(tag);
  mapping.header = header_->isChecked();
  mapping.namedLines = namedLines_->isChecked();
  return mapping;
}

// ---------------------------------------------------------- CsvExportDialog

CsvExportDialog::CsvExportDialog(const CsvExportOptions& options, QWidget* parent) : QDialog(parent) {
  setWindowTitle(QStringLiteral("Export Comma Delimited Text"));
  setModal(true);
  auto* layout = new QVBoxLayout(this);
  auto* form = new QFormLayout;
  separator_ = SeparatorChoice(this, options.separator);
  form->addRow(QStringLiteral("&Separator:"), separator_);
  bom_ = new QCheckBox(QStringLiteral("Start with a UTF-8 &byte-order mark (for spreadsheets)"), this);
  bom_->setChecked(options.bom);
  form->addRow(QString(), bom_);
  layout->addLayout(form);
  layout->addWidget(OkCancel(this));
}

CsvExportOptions CsvExportDialog::Options() const {
  return {static_cast<char>(separator_->currentData().toInt()), bom_->isChecked()};
}

}  // namespace tessel
