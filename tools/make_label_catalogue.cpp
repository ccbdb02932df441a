// Writes the eight label catalogue files from gLabels' template database, so
// that the Labels dialog offers products a user can buy.
//   tessel-make-labels OUTDIR [TEMPLATE_FOLDER]
// The output depends only on the database, so running it again over the
// same database gives the same bytes (a test checks the shipped files).
#include <QDir>
#include <QSaveFile>
#include <QSet>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "cli/command_line.h"
#include "services/label_catalogue.h"
#include "services/ui/label_templates.h"
#include "services/ui/text.h"

namespace {

using tessel::LabelTemplate;

bool OnSheet(const LabelTemplate& t) { return t.paperId != QLatin1String("Other"); }
// A product printed one label per row: a strip or roll, not a sheet.
bool OneAcross(const LabelTemplate& t) { return !OnSheet(t) && t.layout.nx == 1; }
bool Brand(const LabelTemplate& t, const char* brand) { return t.brand == QLatin1String(brand); }

struct Family {
  bool brandInProductNumber;  // the list mixes makers
  std::function<bool(const LabelTemplate&)> takes;
};

// In the order of the catalogue files. The database holds no tractor-feed
// products, so the dot-matrix families take the single-column strips and
// rolls of their makers and stay empty where there are none.
std::vector<Family> Families() {
  static const QSet<QString> kOtherBrands = {
      QStringLiteral("Herma"), QStringLiteral("Zweckform"), QStringLiteral("Sigel"),
      QStringLiteral("Worldlabel"), QStringLiteral("SheetLabels"), QStringLiteral("Brother")};
  return {
      {false, [](const LabelTemplate& t) { return Brand(t, "Avery") && t.paperId == "US-Letter"; }},
      {false,
       [](const LabelTemplate& t) {
         return Brand(t, "Avery") && (t.paperId == "A4" || t.paperId == "A5");
       }},
      {false, [](const LabelTemplate& t) { return Brand(t, "Maco"); }},
      {true, [](const LabelTemplate& t) { return kOtherBrands.contains(t.brand); }},
      {false, [](const LabelTemplate& t) { return Brand(t, "Avery") && OneAcross(t); }},
      {false, [](const LabelTemplate&) { return false; }},
      {false, [](const LabelTemplate&) { return false; }},
      {false, [](const LabelTemplate& t) { return Brand(t, "Dymo") && OneAcross(t); }},
  };
}

std::string Text(const QString& s) { return tessel::ToCp1252(s.simplified()); }

// A length as the dialog shows it: gLabels writes some without a unit, which
// means points; those get "pt" so that no size reads as a bare number.
QString WithUnit(const QString& length) {
  bool number = false;
  length.trimmed().toDouble(&number);
  return number ? length.trimmed() + QStringLiteral("pt") : length;
}

std::string PageSize(const LabelTemplate& t) {
  if (OnSheet(t)) return Text(t.paperId);
  return Text(QStringLiteral("Other (%1 x %2)")
                  .arg(WithUnit(t.pageWidthText), WithUnit(t.pageHeightText)));
}

}  // namespace

int main(int argc, char** argv) {
  CLI::App app("Writes the label catalogue files from gLabels' template database.",
               "tessel-make-labels");
  tessel::cli::UseHelpLayout(app);
  std::string outDir;
  std::string templates;
  app.add_option("OUTDIR", outDir, "the folder to write the catalogue files into")->required();
  app.add_option("TEMPLATE_FOLDER", templates, "gLabels' template folder (the installed one)");
  if (const int status = tessel::cli::ParseCommandLine(app, argc, argv); status >= 0) return status;
  tessel::LabelTemplateDatabase db(templates.empty() ? tessel::LabelTemplateDatabase::DefaultFolder()
                                                     : QString::fromLocal8Bit(templates.c_str()));
  if (!db.Load()) {
    std::fprintf(stderr, "tessel-make-labels: %s\n", qPrintable(db.Error()));
    return 1;
  }
  const QDir out(QString::fromLocal8Bit(outDir.c_str()));
  const std::vector<Family> families = Families();
  for (int slot = 0; slot < tessel::kFamilyCount; ++slot) {
    std::vector<std::string> lines;
    for (const LabelTemplate& t : db.Templates()) {
      if (!t.Usable() || !families[slot].takes(t)) continue;
      lines.push_back(Text(t.Name()));
      lines.push_back(Text(families[slot].brandInProductNumber ? t.Name() : t.part));
      lines.push_back(Text(t.description));
      lines.push_back(Text(WithUnit(t.labelHeightText)));
      lines.push_back(Text(WithUnit(t.labelWidthText)));
      lines.push_back(PageSize(t));
    }
    std::string bytes = std::to_string(lines.size() / 6) + "\r\n";
    for (const std::string& line : lines) bytes += line + "\r\n";
    QSaveFile file(out.filePath(QString::fromLatin1(tessel::kCatalogueFiles[slot])));
    if (!file.open(QIODevice::WriteOnly) ||
        file.write(bytes.data(), static_cast<qint64>(bytes.size())) !=
            static_cast<qint64>(bytes.size()) ||
        !file.commit()) {
      std::fprintf(stderr, "tessel-make-labels: %s: %s\n", qPrintable(file.fileName()),
                   qPrintable(file.errorString()));
      return 1;
    }
  }
  return 0;
}
