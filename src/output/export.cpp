#include "output/export.h"

#include <string_view>

#include "cards/codepage.h"
#include "cards/csv_file.h"
#include "output/card_text.h"
#include "output/vcard_writer.h"

namespace tessel {
namespace {

void AppendCsvField(std::string& out, std::string_view utf8, char separator) {
  const char special[] = {separator, '"', '\r', '\n'};
  if (utf8.find_first_of(std::string_view(special, 4)) == std::string_view::npos) {
    out += utf8;
    return;
  }
  out += '"';
  for (const char c : utf8) {
    if (c == '"') out += '"';
    out += c;
  }
  out += '"';
}

}  // namespace

std::string ExportTextBytes(const std::vector<CardInfo>& cards) {
  return ToTextFile(CardsText(cards, /*taggedOnly=*/false));
}

CsvExportOptions CsvExportOptionsFrom(const SettingsStore& settings) {
  CsvExportOptions options;
  const int stored = settings.GetInt(kCsvSeparatorSetting, options.separator);
  for (const char separator : kCsvSeparators) {
    if (stored == separator) options.separator = separator;
  }
  options.bom = settings.GetInt(kCsvBomSetting, 0) != 0;
  return options;
}

void RememberCsvExportOptions(SettingsStore& settings, const CsvExportOptions& options) {
  settings.WriteInt(kCsvSeparatorSetting, options.separator);
  settings.WriteInt(kCsvBomSetting, options.bom ? 1 : 0);
}

std::string ExportCsvBytes(const std::vector<CardInfo>& cards, const CsvExportOptions& options) {
  const char s = options.separator;
  std::string out = options.bom ? std::string(kUtf8Bom) : std::string();
  out += std::string("Index") + s + "Body" + s + "Tagged\r\n";
  for (const CardInfo& card : cards) {
    AppendCsvField(out, Cp1252ToUtf8(UpToNul(card.index)), s);
    out += s;
    AppendCsvField(out, Cp1252ToUtf8(UpToNul(card.body)), s);
    out += s;
    out += card.tag != 0 ? "1\r\n" : "0\r\n";
  }
  return out;
}

std::string ExportBytes(ExportKind kind, const std::vector<CardInfo>& cards,
                        const CsvExportOptions& csv) {
  switch (kind) {
    case ExportKind::Text:
      return ExportTextBytes(cards);
    case ExportKind::Csv:
      return ExportCsvBytes(cards, csv);
    case ExportKind::Vcard:
      return VcardBytes(cards);
  }
  return {};
}

std::vector<CardInfo> TaggedCards(const std::vector<CardInfo>& cards) {
  std::vector<CardInfo> tagged;
  for (const CardInfo& card : cards) {
    if (card.tag != 0) tagged.push_back(card);
  }
  return tagged;
}

FileResult ExportCards(ExportKind kind, const std::vector<CardInfo>& cards, const std::string& path,
                       const CsvExportOptions& csv, FileOps& ops) {
  const std::string bytes = ExportBytes(kind, cards, csv);
  AtomicFile file(ops);
  if (file.Begin(path) &&
      file.Write(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()) && file.Commit()) {
    return {};
  }
  const std::string why = file.Error().empty() ? "write failed" : file.Error();
  file.Abort();
  return {false, "File Error - \"" + path + "\" could not be written (" + why + ").", why};
}

}  // namespace tessel
