#include "app/ui/import_controller.h"

#include <QFileInfo>

#include "cards/csv_file.h"
#include "output/ui/csv_dialogs.h"
#include "services/ui/text.h"

namespace tessel {

namespace {

std::optional<QString> DialogFolder(const AppContext& c) {
  if (const auto folder = InitialFolder(c.settings.GetString(kLastFile, ""))) return FromPath(*folder);
  return std::nullopt;
}

}  // namespace

ImportController::ImportController(AppContext& context) : c_(context) {
  c_.commands.Handle(CommandId::ImportCardfile,
                     [this] { c_.model.document.ImportCardfile(*this); });
  c_.commands.Handle(CommandId::ImportCommaText, [this] {
    const QString chosen =
        c_.dialogs.OpenFileName(c_.frame.Window(), DialogFolder(c_),
                                {QStringLiteral("CSV Files (*.csv *.txt)"), QStringLiteral("csv")});
    if (chosen.isEmpty()) {
      if (!c_.model.cards.Empty()) c_.FocusFrontBody();
      return;
    }
    ImportCsvFile(c_, ToPath(chosen));
  });
  c_.commands.Handle(CommandId::ImportVcard, [this] {
    std::optional<QString> folder;
    if (const auto f = InitialFolder(c_.settings.GetString(kLastFile, ""))) folder = FromPath(*f);
    const QString chosen = c_.dialogs.OpenFileName(
        c_.frame.Window(), folder,
        {QStringLiteral("vCard Files (*.vcf *.vcard)"), QStringLiteral("vcf")});
    if (chosen.isEmpty()) {
      c_.FocusFrontBody();
      return;
    }
    ImportVcard(c_, ToPath(chosen));
  });
}

void ImportVcard(AppContext& c, const std::string& path) {
  const VcardReadResult result = c.model.document.ImportVcardFile(path);
  // Always told: the count, and what a card could not hold.
  c.ShowStandardMessage(ToQString(VcardMessage(result, path)),
                        result.status == VcardStatus::Ok ? QMessageBox::Information
                                                         : QMessageBox::Warning);
}

std::optional<std::string> ImportController::AskCardfilePath(
    const std::optional<std::string>& folder) {
  const QString chosen = c_.dialogs.OpenFileName(
      c_.frame.Window(), folder ? std::optional(FromPath(*folder)) : std::nullopt,
      {QStringLiteral("Cardfile Files (*.crd)"), QStringLiteral("crd")});
  if (chosen.isEmpty()) return std::nullopt;
  return ToPath(chosen);
}

void ImportCsvFile(AppContext& c, const std::string& path) {
  const QString name = QFileInfo(FromPath(path)).fileName();
  auto refuse = [&](const std::string& why) {
    c.ShowStandardMessage(QStringLiteral("\"%1\" cannot be imported.").arg(name),
                          QMessageBox::Warning, ToQString(why));
  };
  std::string bytes, error;
  if (!ReadCsvFile(path, bytes, error)) return refuse(error);

  CsvGuess guess = GuessCsv(bytes);
  CsvTable table;
  ParseCsv(bytes, guess.separator, table, 1);
  CsvMapping mapping = DefaultMapping(table);
  if (!IsOwnExport(table)) {
    CsvImportDialog dialog(bytes, guess, name, c.frame.Window());
    if (c.dialogs.RunModal(dialog) != QDialog::Accepted) {
      if (!c.model.cards.Empty()) c.FocusFrontBody();
      return;
    }
    guess = {dialog.Separator(), dialog.Encoding()};
    mapping = dialog.Mapping();
  }
  const CsvParseResult parsed = ParseCsv(bytes, guess.separator, table);
  if (!parsed.ok) return refuse(parsed.error);
  std::vector<CardInfo> cards;
  const CsvImport counts = CsvCards(table, mapping, guess.encoding, cards);
  if (!c.model.document.AddCards(std::move(cards))) return refuse(kNoMemoryForCards);
  c.ShowStandardMessage(ToQString(CsvImportMessage(counts, parsed.unclosedQuote)),
                        QMessageBox::Information);
}

}  // namespace tessel
